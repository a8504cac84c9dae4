// Sending through the three kinds of device a grey cable may hide behind,
// on the link's clock: a long variable gets through with the device never
// holding more than a slice beyond the line, and a send cut short leaves a
// line the very next ready check can use.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "link/Exceptions.h"
#include "sim/SimPacedLine.h"
#include "tests/support/TI92FileBuilder.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/VariableSend.h"

namespace {

using Reader = SimPacedLine::Reader;

struct PacedDevice : ::testing::TestWithParam<Reader> {
    PacedDevice()
    {
        auto device = std::make_unique<SimPacedLine>(calculator, clock, GetParam());
        line = device.get();
        port = std::make_unique<SerialPort>(std::move(device));
        EXPECT_TRUE(port->OpenPort());
        link.Cabletype = 2;
        link.TimeOut = 2000;
        link.serialPort = port.get();
        file = folder.path().toStdString() + "/big.92s";
        WriteBytes(file, VariableFileBytes("main", "", {{"big", 0x0C, data}}));
    }

    std::string data = std::string(32000, 'x');
    VirtualTI92 calc;
    CalculatorLink calculator{calc};
    AutoClock clock;
    HookEventPump pump;
    ScriptedDialogs dialogs;
    NoParallelPort noPort;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, noPort}};
    SimPacedLine* line = nullptr;
    std::unique_ptr<SerialPort> port;
    LinkedView view{link, pump};
    QTemporaryDir folder;
    std::string file;
};

TEST_P(PacedDevice, A32KBVariableGetsThroughWithTheDeviceNeverAheadOfTheLine)
{
    const uint32_t start = clock.Now();
    ASSERT_TRUE(Send92g(link, view, file)) << (view.errorDialogs.empty() ? "" : view.errorDialogs[0]);
    const SimVariable* sent = calc.FindVariable("main\\big");
    ASSERT_NE(sent, nullptr);
    EXPECT_EQ(sent->Data(), data);
    EXPECT_LE(line->mostHeld, link.SliceBytes());
    EXPECT_GE(clock.Now() - start, data.size() * 10000 / 9600);
}

TEST_P(PacedDevice, AnInterruptedSendLeavesALineTheReadyCheckCanUse)
{
    pump.hook = [&] {
        if (pump.calls == 200)
            link.Aborted = 1;
    };
    EXPECT_THROW(Send92g(link, view, file), EUserError);
    EXPECT_EQ(calc.FindVariable("main\\big"), nullptr);
    pump.hook = nullptr;
    link.Aborted = 0;
    link.PrepareLine();
    EXPECT_TRUE(link.CheckReady());
}

// The next program knows nothing of the half packet a killed one left.
TEST_P(PacedDevice, AProgramStartedAfterAnInterruptedOneFindsTheCalculatorReady)
{
    pump.hook = [&] {
        if (pump.calls == 200)
            link.Aborted = 1;
    };
    EXPECT_THROW(Send92g(link, view, file), EUserError);
    Ti92Link next{LinkEnvironment{clock, pump, dialogs, noPort}};
    next.Cabletype = 2;
    next.TimeOut = 2000;
    next.serialPort = port.get();
    next.PrepareLine();
    EXPECT_TRUE(next.CheckReady());
    next.PrepareLine();
    EXPECT_TRUE(next.CheckReady()) << "the conversation after it asks once";
}

INSTANTIATE_TEST_SUITE_P(Readers, PacedDevice, ::testing::Values(Reader::Uart, Reader::Pty, Reader::Burst),
                         [](const ::testing::TestParamInfo<Reader>& info) {
                             return std::string(info.param == Reader::Uart  ? "Uart"
                                                : info.param == Reader::Pty ? "Pty"
                                                                            : "Burst");
                         });

}  // namespace
