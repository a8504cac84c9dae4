// The computer's listing and receive against the virtual TI-92 on both cables.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>

#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/TTI92.h"
#include "sim/SimParallelCable.h"
#include "sim/SimSerialDevice.h"
#include "tests/sim/SimBytes.h"
#include "tests/support/AutoClock.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/support/ScriptedDialogs.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

namespace {

struct Rig {
    explicit Rig(int cable)
        : calc(VirtualTI92::WithDemoContent()),
          link(calc),
          cableIO(link),
          ti(LinkEnvironment{clock, pump, dialogs, cableIO})
    {
        auto device = std::make_unique<SimSerialDevice>(link);
        serialDevice = device.get();
        port = std::make_unique<TSerialPort>(std::move(device));
        port->OpenPort();
        ti.Cabletype = static_cast<uint8_t>(cable);
        ti.SerialPort = port.get();
    }

    // The listing as the window runs it; the rows' captions and sizes.
    std::vector<std::pair<std::string, std::string>> List()
    {
        EXPECT_TRUE(FetchDirectoryList(ti, view, ListViewId::ListView1)) << Errors();
        std::vector<std::pair<std::string, std::string>> rows;
        for (const ListItem& row : view.listViews[ListViewId::ListView1])
            rows.emplace_back(row.caption, row.subItems.at(1));
        return rows;
    }
    // Lists, then receives these rows into the store as the window does.
    bool Receive(const std::vector<std::string>& names)
    {
        List();
        for (ListItem& row : view.listViews[ListViewId::ListView1])
            row.selected = std::find(names.begin(), names.end(), row.caption) != names.end();
        return ReceiveAll(ti, view, store, false);
    }
    std::vector<std::string> Stored()
    {
        std::vector<std::string> names;
        for (const IndexRecord& r : store.ReadIndex())
            names.push_back(r.name);
        return names;
    }
    std::string Errors() const
    {
        std::string all;
        for (const std::string& e : view.errorDialogs)
            all += e + "\n";
        return all;
    }

    AutoClock clock;
    NullEventPump pump;
    ScriptedDialogs dialogs;
    VirtualTI92 calc;
    CalculatorLink link;
    SimParallelCable cableIO;
    SimSerialDevice* serialDevice = nullptr;
    std::unique_ptr<TSerialPort> port;
    TTI92 ti;
    RecordingTransferView view;
    QTemporaryDir folder;
    TempStore store{folder.path().toStdString()};
};

class BothCables : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(BothCables, ReadyWhenPresentNotReadyWhenSilent)
{
    Rig rig(GetParam());
    EXPECT_TRUE(rig.ti.CheckReady());

    rig.link.faults.refuseReady = true;
    EXPECT_FALSE(rig.ti.CheckReady());

    rig.link.faults.refuseReady = false;
    rig.link.faults.garbageBeforeAck = Hex("00 FF 13");
    EXPECT_TRUE(rig.ti.CheckReady());

    rig.link.faults.silent = true;
    try {
        rig.ti.CheckReady();
        FAIL() << "a silent calculator must not be ready";
    } catch (const ELinkError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Calculator is not ready!", 0), 0u);
    }
}

TEST_P(BothCables, ListsAndReceivesDemoContent)
{
    Rig rig(GetParam());
    auto rows = rig.List();
    ASSERT_EQ(rows.size(), rig.calc.VariableCount());
    EXPECT_EQ(rows[0].first, "main\\notes");
    EXPECT_EQ(rows[0].second, std::to_string(rig.calc.FindVariable("main\\notes")->Size()));
    EXPECT_EQ(rows.back().first, "games\\hiscore");

    ASSERT_TRUE(rig.Receive({"math\\quad", "games\\board"})) << rig.Errors();
    EXPECT_EQ(rig.Stored(), (std::vector<std::string>{"math\\quad", "games\\board"}));
    EXPECT_EQ(rig.store.ReadItem(rig.store.ReadIndex()[0]), rig.calc.FindVariable("math\\quad")->bytes);
    EXPECT_EQ(rig.link.ActiveConversation(), "");
    EXPECT_TRUE(rig.ti.CheckReady());
}

TEST_P(BothCables, RefusedAndDamagedVariablesAreNotStored)
{
    Rig rig(GetParam());
    rig.link.faults.refuseRequests = {2};
    rig.link.faults.damageDataChecksum = {3};
    EXPECT_FALSE(rig.Receive({"main\\notes", "main\\x", "main\\msg"}));
    EXPECT_EQ(rig.Stored(), std::vector<std::string>{"main\\notes"});
    EXPECT_EQ(rig.view.errorDialogs.size(), 1u) << "the damaged one is named";
    EXPECT_TRUE(rig.ti.CheckReady());
}

TEST_P(BothCables, SilenceAfterSomeBytesTimesOutMidReply)
{
    Rig rig(GetParam());
    rig.link.faults.silentAfterBytes = 6;   // the ready ACK and two bytes of the next reply
    EXPECT_FALSE(FetchDirectoryList(rig.ti, rig.view, ListViewId::ListView1));
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_NE(rig.view.errorDialogs[0].find("Timeout occured when receiving byte."), std::string::npos)
        << rig.view.errorDialogs[0];
}

INSTANTIATE_TEST_SUITE_P(Sim, BothCables, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 1 ? "Parallel" : "Serial"; });

TEST(SerialCable, PurgeBeforeSendingDropsUnreadReplies)
{
    Rig rig(2);
    rig.ti.SendString(Hex("09 68 00 00"));
    rig.ti.SendString(Hex("09 68 00 00"));   // the first ACK is thrown away unread
    EXPECT_EQ(ToHex(rig.link.TakeOutput()), "89 56 00 00");
    EXPECT_GE(rig.serialDevice->discards, 1);
}

TEST(ParallelCable, CalculatorGivesUpAStalledByteAndRecovers)
{
    Rig rig(1);
    rig.cableIO.clock = &rig.clock;
    // The computer aborts after the first bit of a byte...
    int passes = 0;
    rig.cableIO.statusFilter = [&](uint8_t s) {
        if (++passes == 4)
            rig.ti.Aborted = 1;
        return s;
    };
    EXPECT_THROW(rig.ti.SendByte(0x09), EUserError);
    rig.ti.Aborted = 0;
    rig.cableIO.statusFilter = nullptr;
    // ...and, after a pause, the next exchange works from a clean start.
    rig.clock.Advance(3000);
    EXPECT_TRUE(rig.ti.CheckReady());

    // A reply the computer never fetches is dropped after the pause too.
    rig.ti.SendString(Hex("09 68 00 00"));
    rig.clock.Advance(3000);
    EXPECT_TRUE(rig.ti.CheckReady());
}
