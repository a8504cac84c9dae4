// What only the black serial cable and the USB cable have: the modem-line
// wiring and the power the outputs carry; the USB cable's 32-byte blocks,
// stalled pipes, unplugging and permission.
#include <gtest/gtest.h>

#include <sys/ioctl.h>

#include "link/Exceptions.h"
#include "tests/sim/CableRig.h"
#include "tests/support/TI92FileBuilder.h"
#include "transfers/VariableSend.h"

namespace {

ModemLineWiring Wired(int tipOut, int tipIn, int ringOut, int ringIn, bool inputHigh = true)
{
    return {tipOut, tipIn, ringOut, ringIn, true, inputHigh};
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(BlackCable, AWiringThatDoesNotMatchTheCableFailsTheReadyCheck)
{
    struct Row {
        const char* what;
        ModemLineWiring wiring;
    };
    for (const Row& r : {Row{"outputs swapped", Wired(TIOCM_DTR, TIOCM_CTS, TIOCM_RTS, TIOCM_DSR)},
                         Row{"inputs swapped", Wired(TIOCM_RTS, TIOCM_DSR, TIOCM_DTR, TIOCM_CTS)},
                         Row{"both pairs swapped", Wired(TIOCM_DTR, TIOCM_DSR, TIOCM_RTS, TIOCM_CTS)},
                         Row{"inputs read inverted", Wired(TIOCM_RTS, TIOCM_CTS, TIOCM_DTR, TIOCM_DSR, false)}}) {
        SCOPED_TRACE(r.what);
        Rig rig(3, r.wiring);
        rig.ti.TimeOut = 200;
        EXPECT_THROW(rig.ti.CheckReady(), ELinkError);
    }
}

TEST(BlackCable, OneOutputStaysAssertedThroughAConversationAndAnyWrite)
{
    Rig rig(3);
    rig.List();
    for (uint8_t value : {0, 1, 2, 3, 0, 0xFF})
        rig.blackCable.PortOut(0x378, value);
    ASSERT_GT(rig.modemLines.outputHistory.size(), 100u);
    for (int outputs : rig.modemLines.outputHistory)
        ASSERT_NE(outputs & (TIOCM_RTS | TIOCM_DTR), 0) << "both outputs low: the cable loses its power";
}

// Each modem-line operation is a round trip on a USB-serial adapter: one
// whole-state write per change, one reading per look at the wires and none
// of a state already known keep a byte within 36 either way (it was 56 with
// separate raise and lower calls and debounced readings).
TEST(BlackCable, AByteTakesAtMost36LineOperationsEitherWay)
{
    const std::string data(4000, '\x5a');
    for (const bool sent : {true, false}) {
        SCOPED_TRACE(sent ? "sent" : "received");
        Rig rig(3);
        const std::string path = rig.folder.path().toStdString() + "/sent.92s";
        WriteBytes(path, VariableFileBytes("main", "", {{"sent", 0x0C, data}}));
        rig.calc.AddVariable("main", "got", 0x0C, data);
        rig.List();
        for (ListItem& row : rig.view.listViews[ListViewId::Calculator])
            row.selected = row.caption == "main\\got";
        const int calls = rig.modemLines.calls;
        ASSERT_TRUE(sent ? Send92g(rig.ti, rig.view, path) : ReceiveAll(rig.ti, rig.view, rig.store, false))
            << rig.Errors();
        if (!sent)
            ASSERT_EQ(rig.store.DataSize(), data.size() + 2) << "the variable did not arrive whole";
        EXPECT_LE(double(rig.modemLines.calls - calls) / double(data.size()), 36.0);
    }
}

TEST(BlackCable, AnAdapterPulledOutIsOpenedAgainBeforeTheNextConversation)
{
    Rig rig(3);
    rig.modemLines.broken = true;
    rig.modemLines.openable = false;
    EXPECT_FALSE(FetchDirectoryList(rig.ti, rig.view, ListViewId::Calculator));
    EXPECT_TRUE(Contains(rig.Errors(), "no such device")) << rig.Errors();
    rig.modemLines.openable = true;
    EXPECT_EQ(rig.List().size(), rig.calc.VariableCount());
}

TEST(UsbCable, RepliesSpanningBlocksArriveWholeAndWritesGoInChunks)
{
    Rig rig(4);
    EXPECT_EQ(rig.usb->resets, 1) << "opening clears both pipes";
    EXPECT_EQ(rig.List().size(), rig.calc.VariableCount());
    EXPECT_GT(rig.usb->reads, 3);
    EXPECT_EQ(rig.usb->lostBytes, 0) << "a read shorter than the cable's block";
    const std::string packet(1000, '\0');
    rig.usbPort->Device().Write(reinterpret_cast<const uint8_t*>(packet.data()), packet.size());
    EXPECT_EQ(rig.usb->largestWrite, UsbCableDevice::kChunkBytes);
}

TEST(UsbCable, AStalledPipeIsResetAndTheTransferGoesOn)
{
    for (bool stallOut : {false, true}) {
        SCOPED_TRACE(stallOut ? "OUT" : "IN");
        Rig rig(4);
        rig.usb->stallOut = stallOut;
        rig.usb->stallInAtRead = stallOut ? 0 : rig.usb->reads + 3;
        EXPECT_EQ(rig.List().size(), rig.calc.VariableCount()) << rig.Errors();
        EXPECT_EQ(rig.usb->resets, 2);
    }
}

TEST(UsbCable, UnpluggedMidReceiveFailsAndIsFoundAgainWhenBack)
{
    Rig rig(4);
    rig.List();
    for (ListItem& row : rig.view.listViews[ListViewId::Calculator])
        row.selected = row.caption == "main\\notes" || row.caption == "math\\quad";
    rig.usb->unplugAfterBytes = rig.usb->bytesRead + 60;
    EXPECT_FALSE(ReceiveAll(rig.ti, rig.view, rig.store, false));
    EXPECT_TRUE(Contains(rig.Errors(), "the USB cable was unplugged")) << rig.Errors();
    EXPECT_TRUE(rig.Stored().empty() || rig.Stored().size() == 1u);

    rig.view.errorDialogs.clear();
    EXPECT_FALSE(FetchDirectoryList(rig.ti, rig.view, ListViewId::Calculator));
    EXPECT_TRUE(Contains(rig.Errors(), "No USB cable (0451:e001) is plugged in.")) << rig.Errors();

    rig.usb->unplugAfterBytes = -1;
    rig.usb->Replug();
    rig.view.errorDialogs.clear();
    ASSERT_TRUE(rig.Receive({"math\\quad"})) << rig.Errors();
    EXPECT_EQ(rig.Stored().back(), "math\\quad");
}

TEST(UsbCable, OpenFailuresNameTheCableAndTheRemedy)
{
    struct Row {
        bool permissionDenied;
        const char* path;
        std::vector<const char*> parts;
    };
    for (const Row& r : {Row{true,
                             "",
                             {"USB cable at bus 3 address 7 (/dev/bus/usb/003/007): permission denied", "udev rule",
                              "udevadm control --reload-rules", "group"}},
                         Row{false, "usb:3:9", {"USB cable at bus 3 address 9", "not plugged in"}}}) {
        SCOPED_TRACE(r.path);
        Rig rig(4);
        rig.ti.Close();
        rig.usb->permissionDenied = r.permissionDenied;
        UsbCableDevice& device = static_cast<UsbCableDevice&>(rig.usbPort->Device());
        EXPECT_FALSE(device.Open(r.path));
        for (const char* part : r.parts)
            EXPECT_TRUE(Contains(device.OpenError(), part)) << device.OpenError();
    }
}
