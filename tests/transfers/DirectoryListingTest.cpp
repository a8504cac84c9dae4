#include <gtest/gtest.h>

#include <deque>

#include "link/PacketCommands.h"
#include "sim/SimPacket.h"
#include "tests/support/ScriptedLink.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/DirectoryListing.h"

namespace {

struct Listing : ::testing::Test {
    SimRig rig;
    bool Fetch() { return FetchDirectoryList(rig.link, rig.view, ListViewId::Calculator); }
    const std::vector<ListItem>& Rows() { return rig.view.listViews[ListViewId::Calculator]; }
};

std::string Ack()
{
    return BuildShortPacket(kIdFromCalculator, Cmd::ACK);
}

std::string EntryPacket(const std::string& field8, uint8_t type, uint32_t size)
{
    std::string data(4, '\0');
    data += field8;
    data += static_cast<char>(type);
    data += '\0';
    data += LongLE(size);
    return BuildDataPacket(kIdFromCalculator, Cmd::DATA, data);
}

// A calculator played from a script: each complete packet the computer
// writes is answered with the next reply in the queue.
struct ScriptedCalculator : ::testing::Test, ScriptedLink {
    LinkedView view{link, pump};
    SimPacketReader reader;
    std::deque<std::string> replies;
    std::vector<uint8_t> commandsSeen;

    void SetUp() override
    {
        OpenLine();
        line->onWrite = [this](uint8_t b) {
            if (!reader.Feed(b))
                return;
            commandsSeen.push_back(reader.Packet().cmd);
            if (!replies.empty()) {
                line->Feed(replies.front());
                replies.pop_front();
            }
        };
    }
    // RDY, the directory request and its header, which announces 14 bytes an entry.
    void Opening(uint32_t entries) { OpeningWithSize(14 * entries); }
    void OpeningWithSize(uint32_t sizeField)
    {
        replies.push_back(Ack());
        replies.push_back(Ack() + BuildDataPacket(kIdFromCalculator, Cmd::VAR, LongLE(sizeField) + "\x19\x04main"));
    }
    // One whole listing of folder main with these variables.
    void Pass(uint32_t sizeField, const std::vector<std::string>& names)
    {
        OpeningWithSize(sizeField);
        Entry(EntryPacket("main" + std::string(4, '\0'), kTypeFolder, static_cast<uint32_t>(names.size())),
              names.empty());
        for (size_t i = 0; i < names.size(); ++i)
            Entry(EntryPacket(names[i] + std::string(8 - names[i].size(), '\0'), 0x0B, 5), i + 1 == names.size());
        replies.push_back("");
    }
    // ACK, CTS answered with the entry, ACK answered with CNT or EOT.
    void Entry(const std::string& packet, bool last)
    {
        replies.push_back("");
        replies.push_back(Ack() + packet);
        replies.push_back(BuildShortPacket(kIdFromCalculator, last ? Cmd::EOT : SimCmd::CNT));
    }
};

}  // namespace

TEST_F(Listing, OneFolderWithOneTextVariable)
{
    rig.calc.AddVariable("main", "abc", kTypeText, std::string(18, 'x'));
    EXPECT_TRUE(Fetch());
    ASSERT_EQ(Rows().size(), 1u);
    EXPECT_EQ(Rows()[0].caption, "main\\abc");
    EXPECT_EQ(Rows()[0].subItems, (std::vector<std::string>{"text", "20"}));
    EXPECT_EQ(Rows()[0].data, 0x0B);
    // The conversation ends with the computer's final ACK, and the view is left idle.
    EXPECT_EQ(rig.calculator.ActiveConversation(), "");
    EXPECT_EQ(rig.calculator.Received().back().cmd, Cmd::ACK);
    EXPECT_EQ(rig.view.statuses.front(), "Requesting directorylist");
    EXPECT_EQ(rig.view.statuses.back(), "(none)");
    EXPECT_FALSE(rig.view.transferMode);
    EXPECT_TRUE(rig.view.errorDialogs.empty());
}

TEST_F(Listing, FoldersLongNamesAndUnnamedTypes)
{
    rig.calc.AddVariable("main", "abcdefgh", 0x12, "prog");
    rig.calc.AddVariable("main", "odd", 0x01, "");
    rig.calc.AddVariable("games", "x", 0x00, std::string(300, '\1'));
    EXPECT_TRUE(Fetch());
    ASSERT_EQ(Rows().size(), 3u);
    EXPECT_EQ(Rows()[0].caption, "main\\abcdefgh");
    EXPECT_EQ(Rows()[0].subItems[0], "program");
    EXPECT_EQ(Rows()[1].caption, "main\\odd");
    EXPECT_EQ(Rows()[1].subItems, (std::vector<std::string>{"", "2"}));
    EXPECT_EQ(Rows()[1].data, 0x01);
    EXPECT_EQ(Rows()[2].caption, "games\\x");
    EXPECT_EQ(Rows()[2].subItems, (std::vector<std::string>{"expression", "302"}));
}

TEST_F(Listing, AbortEndsWithUserErrorAndKeepsRowsRead)
{
    rig.calc.AddVariable("main", "a", 0, "1");
    rig.calc.AddVariable("main", "b", 0, "2");
    int entries = 0;
    rig.pump.hook = [&] {
        if (!rig.view.statuses.empty() && rig.view.statuses.back() == "Receiving data" && ++entries == 3)
            rig.link.Aborted = 1;
    };
    EXPECT_FALSE(Fetch());
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0],
              "Some error occured while receiving directorylist!\r\rMore info:\rErrorclass: EUserError\r"
              "Message: \rOperation aborted.");
    ASSERT_EQ(Rows().size(), 1u);  // the folder entry gives none, "a" was complete, "b" was cut
    EXPECT_EQ(Rows()[0].caption, "main\\a");
    EXPECT_EQ(rig.view.statuses.back(), "(none)");
    EXPECT_FALSE(rig.view.transferMode);
}

TEST_F(Listing, SilentCalculator)
{
    // Answers the ready check, then nothing: the header read times out.
    rig.calculator.faults.silentAfterBytes = 4;
    EXPECT_FALSE(Fetch());
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_NE(rig.view.errorDialogs[0].find("Errorclass: ELinkError\rMessage: \rTimeout occured when receiving byte."),
              std::string::npos);
    EXPECT_EQ(rig.view.statuses.back(), "(none)");

    // Not even the ready check is answered.
    SimRig deaf;
    deaf.calculator.faults.silent = true;
    EXPECT_FALSE(FetchDirectoryList(deaf.link, deaf.view, ListViewId::Calculator));
    ASSERT_EQ(deaf.view.errorDialogs.size(), 1u);
    EXPECT_NE(deaf.view.errorDialogs[0].find("Message: \rCalculator is not ready!"), std::string::npos);
}

TEST_F(ScriptedCalculator, EntriesBeforeAnyFolderAndNulBytesInNames)
{
    Opening(3);
    Entry(EntryPacket(std::string("a\0b\0\0\0\0c", 8), 0x00, 7), false);
    Entry(EntryPacket("prgm" + std::string(4, '\0'), kTypeFolder, 1), false);
    Entry(EntryPacket(std::string("\0\0\0\0\0\0\0z", 8), 0x0B, 9), true);
    replies.push_back("");
    EXPECT_TRUE(FetchDirectoryList(link, view, ListViewId::Calculator));
    const auto& rows = view.listViews[ListViewId::Calculator];
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].caption, "\\abc");
    EXPECT_EQ(rows[1].caption, "prgm\\z");
    EXPECT_EQ(rows[1].subItems[1], "9");
    EXPECT_EQ(commandsSeen.back(), Cmd::ACK);
    EXPECT_TRUE(replies.empty());
}

TEST_F(ScriptedCalculator, RefusalsEndTheListingWithTheirReason)
{
    // The CTS for the second entry is answered with a checksum-error packet:
    // reading on would take the entry out of step, so the listing fails.
    Opening(2);
    Entry(EntryPacket("main" + std::string(4, '\0'), kTypeFolder, 1), false);
    replies.push_back("");
    replies.push_back(BuildShortPacket(kIdFromCalculator, SimCmd::ERR));
    EXPECT_FALSE(FetchDirectoryList(link, view, ListViewId::Calculator));
    EXPECT_TRUE(view.listViews[ListViewId::Calculator].empty());
    ASSERT_EQ(view.errorDialogs.size(), 1u);
    EXPECT_NE(view.errorDialogs[0].find("Errorclass: ECalculatorError\rMessage: \rThe request for the directory "
                                        "entry after main was refused (answer 0x5A)."),
              std::string::npos)
        << view.errorDialogs[0];

    // The directory request itself refused.
    view.errorDialogs.clear();
    replies = {Ack(), BuildShortPacket(kIdFromCalculator, Cmd::EOT)};
    EXPECT_FALSE(FetchDirectoryList(link, view, ListViewId::Calculator));
    ASSERT_EQ(view.errorDialogs.size(), 1u);
    EXPECT_NE(view.errorDialogs[0].find("The directory request was refused (answer 0x92)."), std::string::npos);
    EXPECT_EQ(view.statuses.back(), "(none)");
    EXPECT_FALSE(view.transferMode);
}

// A "more follows" packet damaged into an end is a well-formed end: a listing
// is taken only when its count matches the header's, or, when the header
// gives no count (a calculator may put its free memory there), when two
// listings agree. Rows: the passes the calculator answers with.
TEST_F(ScriptedCalculator, ACutListingIsAskedForAgain)
{
    using Names = std::vector<std::string>;
    struct Row {
        const char* story;
        std::vector<std::pair<uint32_t, Names>> passes;
        bool ok;
        Names rows;
    };
    const uint32_t freeMemory = 71237;
    const Row rows[] = {
        {"count matches at once", {{14 * 3, {"x", "y"}}}, true, {"main\\x", "main\\y"}},
        {"cut short, then whole", {{14 * 3, {"x"}}, {14 * 3, {"x", "y"}}}, true, {"main\\x", "main\\y"}},
        {"no count: two that agree",
         {{freeMemory, {"x", "y"}}, {freeMemory, {"x", "y"}}},
         true,
         {"main\\x", "main\\y"}},
        {"no count: cut, then two whole",
         {{freeMemory, {"x"}}, {freeMemory, {"x", "y"}}, {freeMemory, {"x", "y"}}},
         true,
         {"main\\x", "main\\y"}},
        {"three that disagree", {{14 * 4, {"x"}}, {14 * 4, {"x", "y"}}, {14 * 4, {"y"}}}, false, {"main\\y"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.story);
        replies.clear();
        view.errorDialogs.clear();
        for (const auto& [size, names] : r.passes)
            Pass(size, names);
        EXPECT_EQ(FetchDirectoryList(link, view, ListViewId::Calculator), r.ok);
        EXPECT_TRUE(replies.empty()) << "every pass was asked for, and no more";
        Names captions;
        for (const ListItem& item : view.listViews[ListViewId::Calculator])
            captions.push_back(item.caption);
        EXPECT_EQ(captions, r.rows);
        if (!r.ok) {
            ASSERT_EQ(view.errorDialogs.size(), 1u);
            EXPECT_NE(view.errorDialogs[0].find("3 listings disagreed"), std::string::npos) << view.errorDialogs[0];
        }
    }
}
