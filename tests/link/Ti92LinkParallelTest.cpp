#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "link/Exceptions.h"
#include "link/Ti92Link.h"
#include "tests/support/AutoClock.h"
#include "tests/support/HookEventPump.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

// The two-line cable with a scripted far end: `peerA`/`peerB` say whether the
// calculator pulls a line low; `onOut` lets it react to the computer's writes.
struct FakeCable : PortIO {
    void PortOut(uint16_t address, uint8_t value) override
    {
        EXPECT_EQ(address, 0x378);
        writes.push_back(value);
        data = value;
        if (onOut)
            onOut(value);
    }
    uint8_t PortIn(uint16_t address) override
    {
        EXPECT_EQ(address, 0x379);
        ++reads;
        if (statusOverride)
            return statusOverride();
        bool aLow = (data & 1) == 0 || peerA;
        bool bLow = (data & 2) == 0 || peerB;
        return static_cast<uint8_t>((aLow ? 0 : 0x20) | (bLow ? 0 : 0x10));
    }
    uint8_t data = 3;
    bool peerA = false, peerB = false;
    std::vector<uint8_t> writes;
    int reads = 0;
    std::function<void(uint8_t)> onOut;
    std::function<uint8_t()> statusOverride;
};

struct ParallelLink : ::testing::Test {
    AutoClock clock;
    HookEventPump pump;
    ScriptedDialogs dialogs;
    FakeCable cable;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, cable}};

    void SetUp() override { link.Cabletype = 1; }

    // A calculator that acknowledges every bit the computer sends.
    void CalculatorReceives()
    {
        cable.onOut = [this](uint8_t v) {
            cable.peerA = v == 1;  // computer pulled B: answer on A
            cable.peerB = v == 2;  // computer pulled A: answer on B
        };
    }
    std::string SendTimeoutMessage()
    {
        try {
            link.SendByte(0x00);
        } catch (const ELinkError& e) {
            return e.what();
        }
        return "no error";
    }
};

TEST_F(ParallelLink, SendsLeastSignificantBitFirstWithOneHandshakePerBit)
{
    CalculatorReceives();
    link.SendByte(0x01);
    std::vector<uint8_t> expected = {2, 3};
    for (int i = 0; i < 7; ++i) {
        expected.push_back(1);
        expected.push_back(3);
    }
    EXPECT_EQ(cable.writes, expected);

    cable.writes.clear();
    link.SendByte(0xFF);
    std::vector<uint8_t> ones;
    for (int i = 0; i < 8; ++i) {
        ones.push_back(2);
        ones.push_back(3);
    }
    EXPECT_EQ(cable.writes, ones);
    EXPECT_EQ(clock.pauses, 0) << "a handshake answered at once waited";
}

TEST_F(ParallelLink, SendTimeoutCountsTheBitsBegunMinusOne)
{
    // Nobody answers: the first bit is begun and never acknowledged.
    EXPECT_EQ(SendTimeoutMessage(), "Timeout occured when sending byte.\r0 bit was sent ok.");
    EXPECT_GT(clock.Now(), 1000u + 1500u);

    // Both lines held low from the start: no bit is begun.
    cable.statusOverride = [] { return uint8_t{0x00}; };
    EXPECT_EQ(SendTimeoutMessage(), "Timeout occured when sending byte.\r-1 bit was sent ok.");
    EXPECT_GT(pump.calls, 0);  // events ran between 700 and 1100 ms
}

// Events run only between 700 and 1100 ms of a byte being sent, and from
// 700 ms on while one is awaited; a time-out outranks an abort.
TEST_F(ParallelLink, WaitsLetEventsRunLateInTheByteAndTimeOutBeatsAbort)
{
    std::vector<uint32_t> pumped;
    uint32_t start = 0;
    pump.hook = [&] { pumped.push_back(clock.Now() - start); };
    cable.statusOverride = [] { return uint8_t{0x00}; };  // never idle: no bit begins
    start = clock.Now() + 1;
    EXPECT_THROW(link.SendByte(0x55), ELinkError);
    ASSERT_FALSE(pumped.empty());
    EXPECT_GT(pumped.front(), 700u);
    EXPECT_LT(pumped.front(), 705u);
    EXPECT_LT(pumped.back(), 1100u);
    EXPECT_GT(pumped.back(), 1095u);

    pumped.clear();
    cable.statusOverride = nullptr;  // lines high: nothing arrives
    start = clock.Now() + 1;
    EXPECT_THROW(link.ReceiveByte(), ELinkError);
    ASSERT_FALSE(pumped.empty());
    EXPECT_GT(pumped.front(), 700u);
    EXPECT_LT(pumped.front(), 705u);
    EXPECT_GT(pumped.back(), 1100u) << "receiving keeps events running up to the time-out";

    pump.hook = nullptr;
    link.Aborted = 1;
    clock.SetStep(link.TimeOut + 1);
    EXPECT_EQ(SendTimeoutMessage(), "Timeout occured when sending byte.\r0 bit was sent ok.");
    EXPECT_THROW(link.ReceiveByte(), ELinkError);
}

TEST_F(ParallelLink, AbortEndsSendWhileWaitingForIdle)
{
    cable.statusOverride = [] { return uint8_t{0x00}; };
    link.Aborted = 1;
    try {
        link.SendByte(0x55);
        FAIL();
    } catch (const EUserError& e) {
        EXPECT_STREQ(e.what(), "Operation aborted.");
    }
    EXPECT_TRUE(cable.writes.empty());
}

// The quiet-line wait takes the calculator's bytes under a lowered time-out;
// an abort there must leave the time-out the user chose.
TEST_F(ParallelLink, AnAbortWhileWaitingForAQuietLineKeepsTheChosenTimeOut)
{
    link.TimeOut = 10000;
    cable.peerA = true;  // the calculator sends 1 bits until the computer stops it
    cable.onOut = [this](uint8_t v) {
        cable.peerA = v == 3;
        if (cable.writes.size() == 16)
            link.Aborted = 1;
    };
    EXPECT_THROW(link.PrepareLine(), EUserError);
    EXPECT_EQ(link.TimeOut, 10000);
}

TEST_F(ParallelLink, ReceivesBitsIntoTheTopAndAcknowledgesOnTheOtherLine)
{
    // The calculator sends 0xA5 (1010 0101), least significant bit first.
    const uint8_t value = 0xA5;
    int bit = 0;
    auto present = [&] {
        bool one = (value >> bit) & 1;
        cable.peerA = one;
        cable.peerB = !one;
    };
    present();
    cable.onOut = [&](uint8_t v) {
        if (v == 1 || v == 2) {  // acknowledged: release the line
            cable.peerA = cable.peerB = false;
        } else if (v == 3 && ++bit < 8) {
            present();
        }
    };
    EXPECT_EQ(link.ReceiveByte(), 0xA5);
}

TEST_F(ParallelLink, BothLinesLowReadsAsZeroBit)
{
    // The far end pulls both lines for every bit and lets go once acknowledged.
    uint8_t status = 0x00;
    cable.statusOverride = [&] { return status; };
    cable.onOut = [&](uint8_t v) { status = v == 3 ? 0x00 : 0x30; };
    EXPECT_EQ(link.ReceiveByte(), 0);
    EXPECT_EQ(cable.writes.size(), 16u);
}

TEST_F(ParallelLink, ReceiveTimesOutWhenTheLinesStayHigh)
{
    try {
        link.ReceiveByte();
        FAIL();
    } catch (const ELinkError& e) {
        EXPECT_STREQ(e.what(), "Timeout occured when receiving byte.");
    }
}

TEST_F(ParallelLink, DebouncedReadTakesTheThirdReadingOnDisagreement)
{
    std::vector<uint8_t> readings = {0x30, 0x10, 0x20};
    size_t next = 0;
    cable.statusOverride = [&] { return readings[next++ % readings.size()]; };
    EXPECT_EQ(link.ReadLines(), 2);  // third reading: line A high only
    readings = {0x20, 0x20, 0x00};
    next = 0;
    EXPECT_EQ(link.ReadLines(), 2);
    EXPECT_EQ(next, 2u);
}

TEST_F(ParallelLink, InvalidCableTypeFailsBeforeTouchingThePort)
{
    for (uint8_t type : {0, 3}) {
        link.Cabletype = type;
        EXPECT_THROW(
            {
                try {
                    link.SendByte(1);
                } catch (const ELinkError& e) {
                    EXPECT_STREQ(e.what(), "Invalid cable settings. Check your settings.");
                    throw;
                }
            },
            ELinkError);
        EXPECT_THROW(link.ReceiveByte(), ELinkError);
    }
    EXPECT_TRUE(cable.writes.empty());
    EXPECT_EQ(cable.reads, 0);
}

TEST_F(ParallelLink, ResetReleasesAllDataBits)
{
    link.ResetPort();
    EXPECT_EQ(cable.writes, std::vector<uint8_t>{0xFF});
}

// A calculator that never answers: each wait runs its whole time-out, and
// once nothing has moved for a millisecond it pauses between polls instead
// of spinning. The clock moves 20 us a reading, as a loop polling real lines
// reads it: a spinning wait makes some hundred polls a millisecond.
struct SilentWait {
    const char* name;
    std::function<void(FakeCable&)> setUp;
    std::function<void(Ti92Link&)> wait;
    uint32_t lastsMs;  // on the link's clock
};

void PrintTo(const SilentWait& wait, std::ostream* os)
{
    *os << wait.name;
}

struct SilentWaits : ParallelLink, ::testing::WithParamInterface<SilentWait> {};

TEST_P(SilentWaits, PauseBetweenPollsAndStillEndOnTime)
{
    GetParam().setUp(cable);
    clock.SetStepMicros(20);
    const uint32_t start = clock.Now();
    GetParam().wait(link);
    const uint32_t took = clock.Now() - start;
    EXPECT_GE(took, GetParam().lastsMs);
    EXPECT_LE(took, GetParam().lastsMs + 3);
    EXPECT_LE(cable.reads, 4 * int(took)) << "the wait spun";
    EXPECT_GE(clock.pausedMicros, uint64_t{took} * 900) << "the wait did not pause";
}

INSTANTIATE_TEST_SUITE_P(
    ParallelLink, SilentWaits,
    ::testing::Values(SilentWait{"ByteNeverAcknowledged", [](FakeCable&) {},
                                 [](Ti92Link& l) { EXPECT_THROW(l.SendByte(0), ELinkError); }, 1500},
                      SilentWait{"LinesHeldBeforeTheFirstBit", [](FakeCable& c) { c.peerA = c.peerB = true; },
                                 [](Ti92Link& l) { EXPECT_THROW(l.SendByte(0), ELinkError); }, 1500},
                      SilentWait{"AcknowledgementNeverReleased",
                                 [](FakeCable& c) { c.onOut = [&c](uint8_t v) { c.peerA |= v == 1; }; },
                                 [](Ti92Link& l) { EXPECT_THROW(l.SendByte(0), ELinkError); }, 1500},
                      SilentWait{"ByteNeverSent", [](FakeCable&) {},
                                 [](Ti92Link& l) { EXPECT_THROW(l.ReceiveByte(), ELinkError); }, 1500},
                      SilentWait{"BitNeverReleased", [](FakeCable& c) { c.peerA = true; },
                                 [](Ti92Link& l) { EXPECT_THROW(l.ReceiveByte(), ELinkError); }, 1500},
                      SilentWait{"QuietLine", [](FakeCable&) {}, [](Ti92Link& l) { l.PrepareLine(); },
                                 Ti92Link::kQuietLineMs}),
    [](const ::testing::TestParamInfo<SilentWait>& info) { return std::string(info.param.name); });

// A calculator that answers at once is polled without pauses (see
// SendsLeastSignificantBitFirst...); one that wakes up late is heard within
// about a millisecond, the longest pause.
TEST_F(ParallelLink, ACalculatorWakingUpLateIsHeardWithinAMillisecond)
{
    clock.SetStepMicros(20);
    // The calculator sends 0xFF, its first bit 50 ms from now.
    const uint32_t wakes = clock.Now() + 50;
    int bits = 0;
    cable.statusOverride = [&] {
        const bool presenting = clock.Now() >= wakes && bits < 8 && cable.data == 3;
        return static_cast<uint8_t>(presenting ? 0x10 : (cable.data & 1 ? 0x20 : 0) | (cable.data & 2 ? 0x10 : 0));
    };
    cable.onOut = [&](uint8_t v) { bits += v == 1; };
    EXPECT_EQ(link.ReceiveByte(), 0xFF);
    EXPECT_GT(clock.pauses, 0);
    EXPECT_LE(clock.Now(), wakes + 2);
}

}  // namespace
