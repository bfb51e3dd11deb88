// The 64-bit count made from the 32-bit one: it carries each wrap of the
// 32-bit count into the high half and never runs backwards, also when two
// threads ask at once.
#include "compat/TickExtender.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

TEST(TickExtender, CarriesEachWrapIntoTheHighHalf) {
    struct Step {
        uint32_t reading;
        uint64_t expected;
    };
    const Step steps[] = {
        {0xFFFFFF00u, 0x0FFFFFF00ull}, // a system up for 49 days
        {0xFFFFFFFFu, 0x0FFFFFFFFull},
        {0x00000010u, 0x100000010ull}, // wrapped
        {0x00000010u, 0x100000010ull}, // the same millisecond again
        {0x7FFFFFFFu, 0x17FFFFFFFull},
        {0x00000001u, 0x200000001ull}, // wrapped again
    };
    compat::TickExtender extender;
    for (const Step& step : steps)
        EXPECT_EQ(extender.Extend([&] { return step.reading; }), step.expected) << std::hex << step.reading;
}

TEST(TickExtender, ThreadsSharingACountNeverSeeItGoBack) {
    // One shared 32-bit clock that wraps every 4096 steps of its own,
    // advanced by every reading, so readings race across wraps.
    std::atomic<uint32_t> clock{0xFFFFF000u};
    compat::TickExtender extender;
    std::vector<std::thread> threads;
    std::atomic<int> backwards{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            uint64_t last = 0;
            for (int i = 0; i < 20000; ++i) {
                const uint64_t now = extender.Extend([&] { return clock.fetch_add(1) * 0x100000u; });
                if (now < last)
                    ++backwards;
                last = now;
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(backwards.load(), 0);
    // The first reading was 0, and every reading (a lost race reads again)
    // advanced the clock by one step: no wrap was lost on the way.
    const uint32_t readings = clock.load() - 0xFFFFF000u;
    EXPECT_GE(readings, 80000u);
    EXPECT_EQ(extender.Extend([&] { return clock.load() * 0x100000u; }), uint64_t(readings) << 20);
}
