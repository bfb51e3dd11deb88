// A 64-bit millisecond count made from the system's 32-bit one, which wraps
// to zero every 49.7 days: the count for Windows that has no GetTickCount64.
#pragma once

#include <atomic>
#include <cstdint>

namespace compat {

// Shared by every thread that asks for the time. Extend must be given a
// reading of the 32-bit count taken after the last value it returned was
// stored (it reads again on a lost race), and it must be asked at least once
// in every 49.7 days, or a whole wrap goes unseen.
class TickExtender {
public:
    template <class ReadTick>
    uint64_t Extend(ReadTick readTick) {
        uint64_t last = m_last.load(std::memory_order_acquire);
        for (;;) {
            const uint32_t now = readTick();
            uint64_t next = (last & ~uint64_t(0xFFFFFFFF)) | now;
            // A reading below the last one's low half means the count wrapped.
            if (now < uint32_t(last))
                next += uint64_t(1) << 32;
            if (m_last.compare_exchange_weak(last, next, std::memory_order_acq_rel))
                return next;
            // Another thread stored a later time: read the count again, so that
            // this reading is not older than the one it stored.
        }
    }

private:
    // A lock would need a start-up order; a 64-bit compare-and-swap needs none
    // (cmpxchg8b on 32-bit x86).
    static_assert(std::atomic<uint64_t>::is_always_lock_free, "64-bit atomics must not need a lock");
    std::atomic<uint64_t> m_last{0};
};

} // namespace compat
