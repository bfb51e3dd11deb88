// The run's memory of its configuration file: a reset or a failure is told
// once, and a file the first opening could not read is left alone.
#include "settings/ConfigSession.h"

#include <gtest/gtest.h>

#include <vector>

TEST(ConfigSession, TellsOnceAndKeepsHandsOffAFileItNeverRead) {
    using O = ConfigOpening;
    struct Case {
        const char* what;
        std::vector<O> openings;
        std::vector<bool> told;
        bool mayOpenAfter;
    };
    const std::vector<Case> cases = {
        {"sound all along", {O::opened, O::opened, O::opened}, {false, false, false}, true},
        {"damaged at the start", {O::reset, O::opened, O::opened}, {true, false, false}, true},
        {"damaged twice", {O::reset, O::reset}, {true, false}, true},
        {"locked at the start", {O::unreadable}, {true}, false},
        {"locked later", {O::opened, O::unreadable, O::unreadable, O::opened}, {false, true, false, false}, true},
        {"reset, then locked", {O::reset, O::unreadable}, {true, false}, true},
    };
    for (const Case& c : cases) {
        CConfigSession session;
        for (size_t i = 0; i < c.openings.size(); ++i) {
            ASSERT_TRUE(session.MayOpen("a.cfg")) << c.what << " before opening " << i;
            EXPECT_EQ(session.Note("a.cfg", c.openings[i]), c.told[i]) << c.what << ", opening " << i;
        }
        EXPECT_EQ(session.MayOpen("a.cfg"), c.mayOpenAfter) << c.what;
    }

    // Another file starts afresh: it may be opened, and its failure is told.
    CConfigSession session;
    EXPECT_TRUE(session.Note("a.cfg", O::unreadable));
    EXPECT_FALSE(session.MayOpen("a.cfg"));
    EXPECT_TRUE(session.MayOpen("b.cfg"));
    EXPECT_TRUE(session.Note("b.cfg", O::reset));
    EXPECT_TRUE(session.MayOpen("b.cfg"));
}
