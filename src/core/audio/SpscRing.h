#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <utility>

// A bounded queue between exactly one producer thread and one consumer thread, without locks or
// allocation. Items are moved in and out, so a slot is empty (moved-from) while it is free: the
// consumer never destroys anything the producer still owns, and the other way round.
template <typename T, std::size_t Capacity> class SpscRing {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0, "a power of two");

public:
    // Producer side. False when full (item is left untouched).
    bool push(T&& item) {
        const std::size_t tail = m_tail.load(std::memory_order_relaxed);
        if (tail - m_head.load(std::memory_order_acquire) == Capacity)
            return false;
        m_slots[tail & (Capacity - 1)] = std::move(item);
        m_tail.store(tail + 1, std::memory_order_release);
        return true;
    }

    // Consumer side. False when empty.
    bool pop(T& item) {
        const std::size_t head = m_head.load(std::memory_order_relaxed);
        if (head == m_tail.load(std::memory_order_acquire))
            return false;
        item = std::move(m_slots[head & (Capacity - 1)]);
        m_head.store(head + 1, std::memory_order_release);
        return true;
    }

    bool empty() const {
        return m_head.load(std::memory_order_acquire) == m_tail.load(std::memory_order_acquire);
    }

private:
    std::array<T, Capacity> m_slots{};
    alignas(64) std::atomic<std::size_t> m_head{0};
    alignas(64) std::atomic<std::size_t> m_tail{0};
};
