#include <gtest/gtest.h>

#include <filesystem>

#include "link/PacketCommands.h"
#include "sim/SimPacket.h"
#include "tests/support/ScriptedLink.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

namespace {

struct Receive : ::testing::Test {
    SimRig rig;

    // Lists the calculator and selects the rows with these captions.
    void ListAndSelect(const std::vector<std::string>& names)
    {
        ASSERT_TRUE(FetchDirectoryList(rig.link, rig.view, ListViewId::Calculator));
        for (auto& row : rig.view.listViews[ListViewId::Calculator])
            row.selected = std::find(names.begin(), names.end(), row.caption) != names.end();
    }
    bool ReceiveAll(bool autoAdvance = true) { return ::ReceiveAll(rig.link, rig.view, rig.store, autoAdvance); }
    const std::vector<ListItem>& Received() { return rig.view.listViews[ListViewId::Received]; }
    std::string Stored(size_t i) { return rig.store.ReadItem(rig.store.ReadIndex().at(i)); }
    const SimVariable& Held(const std::string& name) { return *rig.calc.FindVariable(name); }
};

std::vector<std::string> Names(const std::vector<IndexRecord>& records)
{
    std::vector<std::string> names;
    for (const auto& r : records)
        names.push_back(r.name);
    return names;
}

}  // namespace

TEST_F(Receive, ThreeVariablesStoredListedAndSummarised)
{
    rig.calc.AddVariable("main", "a", 0x00, "alpha");
    rig.calc.AddVariable("main", "b", kTypeText, std::string(500, 'b'));
    rig.calc.AddVariable("prgm", "c", 0x12, "gamma");
    rig.calc.AddVariable("prgm", "skip", 0x12, "not asked for");
    ListAndSelect({"main\\a", "main\\b", "prgm\\c"});

    EXPECT_TRUE(ReceiveAll());
    EXPECT_GT(rig.view.BarMax(ProgressBarId::Total), 0);
    EXPECT_EQ(rig.view.BarPosition(ProgressBarId::Total), rig.view.BarMax(ProgressBarId::Total)) << "a full bar";
    const auto records = rig.store.ReadIndex();
    EXPECT_EQ(Names(records), (std::vector<std::string>{"main\\a", "main\\b", "prgm\\c"}));
    EXPECT_EQ(Stored(0), Held("main\\a").bytes);
    EXPECT_EQ(Stored(1), Held("main\\b").bytes);
    EXPECT_EQ(Stored(2), Held("prgm\\c").bytes);
    EXPECT_EQ(records[1].type, kTypeText);
    EXPECT_EQ(records[1].length, 502);
    EXPECT_EQ(records[1].start, records[0].finish);
    EXPECT_EQ(rig.store.DataSize(), static_cast<uint64_t>(records[2].finish));

    ASSERT_EQ(Received().size(), 3u);
    EXPECT_EQ(Received()[1].caption, "main\\b");
    EXPECT_EQ(Received()[1].subItems, (std::vector<std::string>{"text", "502"}));
    EXPECT_EQ(rig.view.memo.back(), "3 of 3 item(s) were received.");
    EXPECT_EQ(rig.view.nextClicks, 1);
    EXPECT_EQ(rig.view.labels[LabelId::VariablesHeading], "Variables to get");
    EXPECT_EQ(rig.view.labels[LabelId::Transfer], "Transfer completed.. (#3)");
    EXPECT_EQ(rig.view.varListSelected, 2);
    EXPECT_EQ(rig.view.barMax[ProgressBarId::Total], 7 + 502 + 7);
    EXPECT_EQ(rig.view.barPosition[ProgressBarId::Variable], 5);
    EXPECT_FALSE(rig.view.transferMode);
    EXPECT_TRUE(rig.view.errorDialogs.empty());
    // The automatic Next comes before the summary line and the end of transfer mode.
    EXPECT_EQ(rig.view.calls.back(), "TransferMode(0)");
}

TEST_F(Receive, RunStartsFromAnEmptyStoreAndWithoutAutoNextStays)
{
    rig.store.AddItem("old\\x", 0, "\0\1x");
    rig.calc.AddVariable("main", "a", 0x00, "alpha");
    ListAndSelect({"main\\a"});
    EXPECT_TRUE(ReceiveAll(false));
    EXPECT_EQ(Names(rig.store.ReadIndex()), std::vector<std::string>{"main\\a"});
    EXPECT_EQ(rig.view.nextClicks, 0);
}

TEST_F(Receive, SecondOfThreeRefused)
{
    for (auto n : {"a", "b", "c"})
        rig.calc.AddVariable("main", n, 0x00, n);
    ListAndSelect({"main\\a", "main\\b", "main\\c"});
    rig.calculator.faults.refuseRequests = {2};
    EXPECT_FALSE(ReceiveAll());
    EXPECT_EQ(Names(rig.store.ReadIndex()), (std::vector<std::string>{"main\\a", "main\\c"}));
    EXPECT_EQ(Received().size(), 2u);
    EXPECT_EQ(rig.view.memo.back(), "2 of 3 item(s) were received.");
    EXPECT_EQ(rig.view.memo.end()[-2], " Not received: main\\b: the request was refused: skipped.");
    EXPECT_EQ(rig.view.nextClicks, 0);
    EXPECT_EQ(rig.view.errorDialogs, std::vector<std::string>{"This variable was not received:\r"
                                                              "main\\b: the request was refused: skipped.\r"
                                                              "Please receive it again."});
}

TEST_F(Receive, NothingSelectedIsSuccessWithoutRequests)
{
    rig.calc.AddVariable("main", "a", 0x00, "alpha");
    ListAndSelect({});
    EXPECT_TRUE(ReceiveAll());
    EXPECT_EQ(rig.calculator.VariableRequests(), 0);
    EXPECT_EQ(rig.view.memo.back(), "0 of 0 item(s) were received.");
    EXPECT_EQ(rig.view.nextClicks, 1);
}

TEST_F(Receive, SmallVariableJumpsBarsToTheEnd)
{
    rig.calc.AddVariable("main", "v", 0x00, std::string(40, 'q'));
    ListAndSelect({"main\\v"});
    EXPECT_TRUE(ReceiveAll());
    EXPECT_EQ(Received()[0].subItems[1], "42");
    EXPECT_EQ(rig.view.barHistory[ProgressBarId::Variable], (std::vector<int>{0, 40}));
    EXPECT_EQ(rig.view.barMax[ProgressBarId::Variable], 40);
}

TEST_F(Receive, BarsMoveEveryTwoPercent)
{
    rig.calc.AddVariable("main", "v", 0x00, std::string(1000, 'q'));
    ListAndSelect({"main\\v"});
    EXPECT_TRUE(ReceiveAll());
    const auto& history = rig.view.barHistory[ProgressBarId::Variable];
    ASSERT_EQ(history.size(), 52u);  // 0, 1, 21, ..., 981, 1000
    EXPECT_EQ(history[1], 1);
    EXPECT_EQ(history[2], 21);
    EXPECT_EQ(history.back(), 1000);
}

TEST_F(Receive, RequestBytesForMainX)
{
    rig.calc.AddVariable("main", "x", 0x00, "1");
    rig.Select("main\\x", 0x00, 3);
    EXPECT_TRUE(ReceiveAll());
    // 6 + m a i n \ x = 6 + 0x6D + 0x61 + 0x69 + 0x6E + 0x5C + 0x78 = 0x27F
    const char request[] = "\x09\xA2\x0C\x00\x00\x00\x00\x00\x00\x06main\\x\x7F\x02";
    EXPECT_EQ(VariableRequestPacket(0x09, "main\\x", 0x00), std::string(request, 18));
    EXPECT_NE(rig.line->written.find(std::string(request, 18)), std::string::npos);
}

TEST_F(Receive, SeventeenCharacterNameKeptWhole)
{
    rig.calc.AddVariable("abcdefgh", "ijklmnop", kTypeText, "long name");
    ListAndSelect({"abcdefgh\\ijklmnop"});
    EXPECT_TRUE(ReceiveAll());
    EXPECT_EQ(rig.store.ReadIndex().at(0).name, "abcdefgh\\ijklmnop");
    EXPECT_EQ(Received()[0].caption, "abcdefgh\\ijklmnop");
}

TEST_F(Receive, DamagedDataIsNotStoredAndSaidSo)
{
    for (auto n : {"a", "b", "c"})
        rig.calc.AddVariable("main", n, 0x00, std::string("data of ") + n);
    ListAndSelect({"main\\a", "main\\b", "main\\c"});
    rig.calculator.faults.damageDataChecksum = {2};
    EXPECT_FALSE(ReceiveAll());

    const auto records = rig.store.ReadIndex();
    EXPECT_EQ(Names(records), (std::vector<std::string>{"main\\a", "main\\c"}));
    EXPECT_EQ(Stored(1), Held("main\\c").bytes);
    EXPECT_EQ(rig.store.DataSize(), static_cast<uint64_t>(records[1].finish));  // nothing left over
    EXPECT_EQ(Received().size(), 2u);
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0],
              "This variable was not received:\rmain\\b: its data arrived damaged (checksum error).\r"
              "Please receive it again.");
    EXPECT_EQ(rig.view.memo.back(), "2 of 3 item(s) were received.");
    EXPECT_EQ(rig.view.nextClicks, 0);
    // The conversation was finished: the third request went through normally.
    EXPECT_EQ(rig.calculator.VariableRequests(), 3);
}

TEST_F(Receive, OnlyDamagedVariableLeavesAnEmptyStore)
{
    rig.calc.AddVariable("main", "a", 0x00, "alpha");
    ListAndSelect({"main\\a"});
    rig.calculator.faults.damageAllDataChecksums = true;
    EXPECT_FALSE(ReceiveAll());
    EXPECT_TRUE(rig.store.ReadIndex().empty());
    EXPECT_EQ(rig.store.DataSize(), 0u);
    EXPECT_EQ(rig.view.memo.back(), "0 of 1 item(s) were received.");
}

TEST_F(Receive, AbortDuringData)
{
    rig.calc.AddVariable("main", "a", 0x00, "alpha");
    rig.calc.AddVariable("main", "big", 0x00, std::string(5000, 'z'));
    ListAndSelect({"main\\a", "main\\big"});
    rig.pump.hook = [&] {
        if (rig.view.barPosition[ProgressBarId::Variable] > 1000)
            rig.link.Aborted = 1;
    };
    EXPECT_FALSE(ReceiveAll());
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0],
              "Some error occured while receiving main\\big!\r\rMore info:\rErrorclass: EUserError\r"
              "Message: \rOperation aborted.");
    EXPECT_EQ(rig.view.memo.back(), " An error (EUserError) occured while receiving variable(s).");
    EXPECT_EQ(Names(rig.store.ReadIndex()), std::vector<std::string>{"main\\a"});
    EXPECT_EQ(rig.store.DataSize(), static_cast<uint64_t>(rig.store.ReadIndex()[0].finish));
    EXPECT_EQ(rig.view.nextClicks, 0);
    EXPECT_FALSE(rig.view.transferMode);
}

TEST_F(Receive, SilentCalculatorBeforeFirstRequest)
{
    rig.Select("main\\a", 0x00, 7);
    rig.calculator.faults.silent = true;
    EXPECT_FALSE(ReceiveAll());
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0].substr(0, 44), "Some error occured while receiving !\r\rMore i");
    EXPECT_NE(rig.view.errorDialogs[0].find("Errorclass: ELinkError"), std::string::npos);
    EXPECT_EQ(rig.view.memo.back(), " An error (ELinkError) occured while receiving variable(s).");
}

TEST_F(Receive, SilenceInTheMiddleOfAVariable)
{
    rig.calc.AddVariable("main", "a", 0x00, std::string(100, 'a'));
    rig.Select("main\\a", 0x00, 102);
    // Ready checks (4 + 4), request ACK and header (4 + 16), ACK and part of the data.
    rig.calculator.faults.silentAfterBytes = 4 + 4 + 4 + 16 + 4 + 30;
    EXPECT_FALSE(ReceiveAll());
    EXPECT_NE(rig.view.errorDialogs.at(0).find("Timeout occured when receiving byte."), std::string::npos);
    EXPECT_EQ(rig.store.DataSize(), 0u);
}

TEST_F(Receive, ManyRequestsInOneRun)
{
    rig.calc.Clear();
    for (int i = 0; i < 210; ++i)
        rig.calc.AddVariable("f" + std::to_string(i / 100), "v" + std::to_string(i), 0x00, "x");
    ListAndSelect({});
    EXPECT_TRUE(::ReceiveAll(rig.link, rig.view, rig.store, false, true));
    EXPECT_EQ(rig.store.ReadIndex().size(), 210u);
    EXPECT_EQ(rig.view.memo.back(), "210 of 210 item(s) were received.");
}

// The calculator answers the request out of turn: with something that is not
// the variable's header, or with a header followed by something that is not
// its data packet. Nothing is stored and the store stays as it was.
TEST(ReceiveVariable, AReplyOutOfTurnStoresNothing)
{
    for (const bool headerFirst : {false, true}) {
        SCOPED_TRACE(headerFirst ? "header, then no data packet" : "no header");
        ScriptedLink rig;
        ASSERT_NO_FATAL_FAILURE(rig.OpenLine());
        ScriptedSerialDevice* line = rig.line;
        Ti92Link& link = rig.link;
        RecordingTransferView view;
        QTemporaryDir folder;
        TempStore store(folder.path().toStdString());
        store.Clear();
        store.AddItem("main\\a", 0x00, std::string("\x00\x01\x2A", 3));
        const uint64_t sizeBefore = store.DataSize();

        if (!headerFirst) {
            line->Feed(BuildShortPacket(kIdFromCalculator, Cmd::EOT));
        } else {
            line->Feed(BuildDataPacket(kIdFromCalculator, Cmd::VAR, std::string("\x03\0\0\0\x00\x01x", 7)));
            // After the computer's ACK and CTS: an ACK, then an EOT where the data should be.
            line->onWrite = [line, written = 0](uint8_t) mutable {
                if (++written == 8)
                    line->Feed(BuildShortPacket(kIdFromCalculator, Cmd::ACK) +
                               BuildShortPacket(kIdFromCalculator, Cmd::EOT) + std::string(6, '\0'));
            };
        }
        const VariableOutcome outcome = ReceiveVariable(link, view, store, false, "main\\x");
        EXPECT_EQ(outcome, headerFirst ? VariableOutcome::NotDataPacket : VariableOutcome::NotVariableHeader);
        EXPECT_EQ(store.DataSize(), sizeBefore);
        ASSERT_EQ(store.ReadIndex().size(), 1u);
        EXPECT_EQ(store.ReadIndex()[0].name, "main\\a");
        EXPECT_TRUE(view.listViews[ListViewId::Received].empty());
    }
}
