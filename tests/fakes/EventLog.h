#pragma once

#include <algorithm>
#include <utility>
#include <string>
#include <vector>

namespace tidewell::fakes {

// One ordered record of what the fakes were asked to do, shared by all fakes of a test, so a test
// can check the order of effects across ports ("box:Thank You!" before "view:intro.Show").
class EventLog {
public:
    void Add(std::string entry) { entries_.push_back(std::move(entry)); }
    const std::vector<std::string>& Entries() const { return entries_; }
    void Clear() { entries_.clear(); }

    bool Contains(const std::string& entry) const {
        return std::find(entries_.begin(), entries_.end(), entry) != entries_.end();
    }
    // Index of the first entry equal to `entry`, or -1.
    int IndexOf(const std::string& entry) const {
        const auto it = std::find(entries_.begin(), entries_.end(), entry);
        return it == entries_.end() ? -1 : static_cast<int>(it - entries_.begin());
    }
    // The entries that begin with `prefix`, in order.
    std::vector<std::string> WithPrefix(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& entry : entries_) {
            if (entry.starts_with(prefix)) {
                found.push_back(entry);
            }
        }
        return found;
    }

private:
    std::vector<std::string> entries_;
};

} // namespace tidewell::fakes
