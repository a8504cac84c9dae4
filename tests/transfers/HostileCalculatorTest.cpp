// What a hostile calculator sent in the findings of the link fuzz target,
// played back through the same conversations and checks: each must now end
// soundly. The clean conversations the seeds come from must succeed when
// played back, and fail when their last byte is missing.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "tests/sim/SimBytes.h"
#include "tests/support/HostileConversations.h"

namespace {

struct Finding {
    const char* conversation;
    const char* script;  // everything the calculator sends, in hex
    bool success;        // how the conversation ends now
};

const Finding kFindings[] = {
    // The end of a sent variable was answered with another command, and the
    // send was reported done.
    {"send-variable", "89 56 00 00 89 56 00 00 89 09 00 00 89 56 00 00 89 00 15 00", false},
    // A sound entry packet came where "another entry follows" belongs; it
    // was read past and the listing of the others reported whole.
    {"listing",
     "89 56 00 00 89 56 00 00 89 06 0A 00 46 00 00 00 19 04 6D 61 69 6E 08 02 "              // ready, request, header
     "89 56 00 00 89 15 12 00 00 00 00 00 6D 61 69 6E 00 00 00 00 1F 00 02 00 00 00 C6 01 "  // folder main
     "89 15 12 00 00 00 00 00 65 76 69 6C 00 00 00 00 12 00 07 00 00 00 C9 01 "  // main\evil, not 89 78 00 00
     "89 56 00 00 89 15 12 00 00 00 00 00 70 72 6F 67 00 00 00 00 12 00 2E 01 00 00 F9 01 89 78 00 00 "
     "89 56 00 00 89 15 12 00 00 00 00 00 74 65 78 74 00 00 00 00 0B 00 7A 00 00 00 4A 02 89 78 00 00 "
     "89 56 00 00 89 15 12 00 00 00 00 00 67 61 6D 65 73 00 00 00 1F 00 01 00 00 00 2D 02 89 78 00 00 "
     "89 56 00 00 89 15 12 00 00 00 00 00 78 00 00 00 00 00 00 00 00 00 07 00 00 00 7F 00 89 92 00 00",
     false},
    // Unlock typed; the listing after it gave no count, so it was asked for
    // twice, and the two passes disagreed on the lock: they were taken as
    // agreeing (only the rows were compared) and the unlock reported done.
    {"home-unlock",
     "89 56 00 00 89 56 00 00 89 06 0A 00 1C 00 00 00 19 04 6D 61 69 6E DE 01 "  // header: 2 entries
     "89 56 00 00 89 15 12 00 00 00 00 00 6D 61 69 6E 00 00 00 00 1F 00 01 00 00 00 C5 01 89 78 00 00 "
     "89 56 00 00 89 15 12 00 00 00 00 00 6B 65 70 74 00 00 00 00 00 01 03 00 00 00 B8 01 89 92 00 00 "  // locked
     "89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 "
     "89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 "
     "89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 "
     "89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 89 56 00 00 "
     "89 56 00 00 89 56 00 00 "                                                  // 26 keys acknowledged
     "89 56 00 00 89 56 00 00 89 06 0A 00 00 00 00 00 19 04 6D 61 69 6E C2 01 "  // header: no count
     "89 56 00 00 89 15 12 00 00 00 00 00 6D 61 69 6E 00 00 00 00 1F 00 01 00 00 00 C5 01 89 78 00 00 "
     "89 56 00 00 89 15 12 00 00 00 00 00 6B 65 70 74 00 00 00 00 00 01 03 00 00 00 B8 01 89 92 00 00 "  // locked
     "89 56 00 00 89 56 00 00 89 06 0A 00 00 00 00 00 19 04 6D 61 69 6E C2 01 "  // asked for again
     "89 56 00 00 89 15 12 00 00 00 00 00 6D 61 69 6E 00 00 00 00 1F 00 01 00 00 00 C5 01 89 78 00 00 "
     "89 56 00 00 89 15 12 00 00 00 00 00 6B 65 70 74 00 00 00 00 00 00 03 00 00 00 B7 01 89 92 00 00 "  // unlocked
     "89 56 00 00",
     false},
};

char Selector(const std::string& conversation)
{
    for (size_t i = 0; i < HostileConversationCount(); ++i)
        if (HostileConversationName(i) == conversation)
            return static_cast<char>(i);
    ADD_FAILURE() << "no conversation " << conversation;
    return 0;
}

struct HostileCalculator : ::testing::Test {
    QTemporaryDir folder;
    HostileOutcome Run(const std::string& input) { return RunHostileConversation(input, folder.path().toStdString()); }
};

}  // namespace

TEST_F(HostileCalculator, FindingsEndSoundly)
{
    for (const Finding& f : kFindings) {
        SCOPED_TRACE(std::string(f.conversation) + ": " + f.script);
        const HostileOutcome outcome = Run(Selector(f.conversation) + Hex(f.script));
        EXPECT_TRUE(outcome.ran);
        EXPECT_EQ(outcome.fault, "");
        EXPECT_EQ(outcome.success, f.success);
    }
}

TEST_F(HostileCalculator, CleanConversationsSucceedOnlyWhole)
{
    for (size_t i = 0; i < HostileConversationCount(); ++i) {
        SCOPED_TRACE(HostileConversationName(i));
        const std::string input = RecordCleanConversation(i, folder.path().toStdString());
        const HostileOutcome whole = Run(input);
        EXPECT_TRUE(whole.success);
        EXPECT_EQ(whole.fault, "");
        const HostileOutcome cut = Run(input.substr(0, input.size() - 1));
        EXPECT_FALSE(cut.success);
        EXPECT_EQ(cut.fault, "");
    }
}
