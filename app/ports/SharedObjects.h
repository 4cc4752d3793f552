#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace tidewell {

// The objects that live as long as the program and are released together when the main window
// closes (the editor's registry objects): each subsystem registers how to release its own. One
// instance lives for the whole process (owned by Program on Win32, by the fixture in a test).
class SharedObjects {
public:
    SharedObjects() = default;
    SharedObjects(const SharedObjects&) = delete;
    SharedObjects& operator=(const SharedObjects&) = delete;
    ~SharedObjects() = default;

    void OnRelease(std::function<void()> release) { releases_.push_back(std::move(release)); }
    void ReleaseAll() {
        for (auto& release : releases_) {
            if (release) {
                release();
            }
        }
    }

private:
    std::vector<std::function<void()>> releases_;
};

} // namespace tidewell
