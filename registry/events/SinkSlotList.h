#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace registry {

// The event sinks of one key. The list starts empty, takes a single slot for the first sink,
// jumps to four slots for the second and doubles whenever it is full. Freed slots are reused;
// only a single-slot list ever becomes empty again, which is what ends a key's notification.
// A cookie is the slot index plus one, so 0 never names a connection.
template <typename Sink> class SinkSlotList {
public:
    enum class AddResult { Added, Full };

    explicit SinkSlotList(std::size_t maxSlots = std::size_t{1} << 30) : maxSlots_(maxSlots) {}

    bool Empty() const { return slots_.empty(); }
    std::size_t Capacity() const { return slots_.size(); }
    std::size_t Connected() const {
        std::size_t n = 0;
        for (const Slot& slot : slots_) {
            n += slot.sink.has_value() ? 1 : 0;
        }
        return n;
    }

    // On success *cookie names the new connection. Full leaves the list unchanged.
    AddResult Add(Sink sink, std::uint32_t* cookie) {
        std::size_t index = FreeSlot();
        if (index == slots_.size()) {
            std::size_t grown = slots_.empty() ? 1 : slots_.size() == 1 ? 4 : slots_.size() * 2;
            if (grown > maxSlots_) {
                return AddResult::Full;
            }
            try {
                slots_.resize(grown);
            } catch (...) {
                return AddResult::Full;
            }
        }
        slots_[index].sink = std::move(sink);
        slots_[index].order = ++lastOrder_;
        *cookie = static_cast<std::uint32_t>(index + 1);
        return AddResult::Added;
    }

    // Takes the sink out of its slot (the caller releases it). Nothing when the cookie names no
    // connection. *becameEmpty tells that a single-slot list just emptied.
    std::optional<Sink> Remove(std::uint32_t cookie, bool* becameEmpty) {
        *becameEmpty = false;
        if (cookie == 0 || cookie > slots_.size() || !slots_[cookie - 1].sink.has_value()) {
            return std::nullopt;
        }
        std::optional<Sink> sink = std::move(slots_[cookie - 1].sink);
        slots_[cookie - 1].sink.reset();
        if (slots_.size() == 1) {
            slots_.clear();
            *becameEmpty = true;
        }
        return sink;
    }

    // Every connected sink with its cookie, in the order the sinks connected (a reused slot
    // does not move its new sink ahead of older ones).
    std::vector<std::pair<std::uint32_t, Sink>> Snapshot() const {
        std::vector<std::pair<std::uint64_t, std::size_t>> order;
        for (std::size_t i = 0; i < slots_.size(); ++i) {
            if (slots_[i].sink.has_value()) {
                order.emplace_back(slots_[i].order, i);
            }
        }
        std::sort(order.begin(), order.end());
        std::vector<std::pair<std::uint32_t, Sink>> result;
        result.reserve(order.size());
        for (const auto& [connected, index] : order) {
            result.emplace_back(static_cast<std::uint32_t>(index + 1), *slots_[index].sink);
        }
        return result;
    }

private:
    struct Slot {
        std::optional<Sink> sink;
        std::uint64_t order = 0;
    };

    std::size_t FreeSlot() const {
        std::size_t i = 0;
        while (i < slots_.size() && slots_[i].sink.has_value()) {
            ++i;
        }
        return i;
    }

    std::vector<Slot> slots_;
    std::uint64_t lastOrder_ = 0;
    std::size_t maxSlots_;
};

} // namespace registry
