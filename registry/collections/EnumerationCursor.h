#pragma once

#include <cstdint>

namespace registry {

// Position bookkeeping shared by the key and value enumerators. The total is fixed when the
// enumerator is made; entries added or removed later are not chased.
class EnumerationCursor {
public:
    enum class Step { Delivered, Skipped, Stop };

    explicit EnumerationCursor(std::uint32_t total, std::uint32_t position = 0)
        : total_(total), position_(position > total ? total : position) {}

    std::uint32_t Total() const { return total_; }
    std::uint32_t Position() const { return position_; }

    void Reset() { position_ = 0; }

    // True when all n entries could be skipped.
    bool Skip(std::uint32_t n) {
        std::uint32_t left = position_ < total_ ? total_ - position_ : 0;
        std::uint32_t skipped = n < left ? n : left;
        position_ += skipped;
        return skipped == n;
    }

    // Calls visit(index) for successive entries until `wanted` were delivered, the total is
    // reached or visit says Stop. The position moves past every entry visited, the stopping
    // one included. Returns the number delivered.
    template <typename Visit> std::uint32_t Next(std::uint32_t wanted, Visit&& visit) {
        std::uint32_t delivered = 0;
        while (position_ < total_ && delivered < wanted) {
            std::uint32_t index = position_++;
            Step step = visit(index);
            if (step == Step::Stop) {
                break;
            }
            if (step == Step::Delivered) {
                ++delivered;
            }
        }
        return delivered;
    }

private:
    std::uint32_t total_;
    std::uint32_t position_;
};

} // namespace registry
