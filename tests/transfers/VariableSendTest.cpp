#include <gtest/gtest.h>

#include <fstream>

#include "link/Exceptions.h"
#include "tests/sim/SimBytes.h"
#include "tests/transfers/SentFiles.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/VariableSend.h"

namespace {

struct Send : ::testing::Test {
    SimRig rig;

    std::string Put(const std::string& name, const std::string& bytes)
    {
        const std::string path = rig.folder.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    bool SendFile(const std::string& name, const std::vector<FileVariable>& vars)
    {
        return Send92g(rig.link, rig.view, Put(name, VariableFile(vars)));
    }
    // Names in the variable headers the computer sent, in order.
    std::vector<std::string> HeaderNames()
    {
        std::vector<std::string> names;
        for (const SimPacket& p : rig.calculator.Received())
            if (p.cmd == Cmd::VAR)
                names.push_back(p.data.substr(6));
        return names;
    }
    std::string Held(const std::string& name)
    {
        const SimVariable* v = rig.calc.FindVariable(name);
        return v ? v->Data() : "(missing)";
    }
};

}  // namespace

TEST_F(Send, SingleVariableGoesOutByteForByte)
{
    ASSERT_TRUE(SendFile("prog1.92p", {{"main", "prog1", 0x12, Hex("01 02 03")}}));
    const std::string expected = "09 68 00 00 "                                                        // ready check
                                 "09 06 10 00 05 00 00 00 12 0A 6D 61 69 6E 5C 70 72 6F 67 31 0B 04 "  // header
                                 "09 56 00 00 "                                                        // ACK of the CTS
                                 "09 15 09 00 00 00 00 00 00 03 01 02 03 09 00 "                       // data
                                 "09 92 00 00";                                                        // end
    EXPECT_EQ(ToHex(rig.line->written), expected);
    EXPECT_EQ(Held("main\\prog1"), Hex("01 02 03"));
    EXPECT_EQ(rig.view.memo, std::vector<std::string>{"\"prog1.92p\" was successfully sent."});
    EXPECT_EQ(rig.view.statuses.front(), "Opening file");
    EXPECT_EQ(rig.view.statuses[rig.view.statuses.size() - 2], "1 variable(s) was sent!");
    EXPECT_EQ(rig.view.statuses.back(), "(none)");
    EXPECT_EQ(rig.view.barMax[ProgressBarId::Variable], 2);
}

TEST_F(Send, ProgressMovesEveryFiftiethOfTheVariable)
{
    ASSERT_TRUE(SendFile("t.92t", {{"main", "t", 0x0B, std::string(998, 't')}}));  // 1000 bytes with the size word
    const std::vector<int>& bar = rig.view.barHistory[ProgressBarId::Variable];
    ASSERT_EQ(bar.size(), 52u);
    EXPECT_EQ(std::vector<int>(bar.begin(), bar.begin() + 4), (std::vector<int>{0, 1, 21, 41}));
    EXPECT_EQ(bar.back(), 997);
}

// The calculator keeps a variable only once it has taken the end: a refused
// end fails the send and shows no count.
TEST_F(Send, RefusedEndFailsTheSend)
{
    rig.calculator.faults.refuseVariableEnd = true;
    EXPECT_THROW(SendFile("prog1.92p", {{"main", "prog1", 0x12, Hex("01 02 03")}}), ECalculatorError);
    EXPECT_EQ(rig.view.Count("ShowStatus(Variable sent successfully!)"), 1);
    EXPECT_EQ(rig.view.Count("ShowStatus(1 variable(s) was sent!)"), 0);
}

TEST_F(Send, FolderPrefixesFollowTheTable)
{
    // No default folder: "\x" lands in the current folder.
    ASSERT_TRUE(SendFile("x.92e", {{"", "x", 0x00, "1"}}));
    // An 8-character folder and name make a 17-character name, sent whole.
    ASSERT_TRUE(SendFile("long.92s", {{"abcdefgh", "ijklmnop", 0x0C, "s"}}));
    // A variable before any folder entry, then two folders.
    ASSERT_TRUE(SendFile("g.92g", {{"", "a", 0x00, "A"}, {"f1", "b", 0x00, "B"}, {"f2", "c", 0x0B, "C"}}));

    EXPECT_EQ(HeaderNames(), (std::vector<std::string>{"\\x", "abcdefgh\\ijklmnop", "a", "f1\\b", "f2\\c"}));
    EXPECT_EQ(Held("main\\x"), "1");
    EXPECT_EQ(Held("abcdefgh\\ijklmnop"), "s");
    EXPECT_EQ(Held("main\\a"), "A");
    EXPECT_EQ(Held("f1\\b"), "B");
    EXPECT_EQ(Held("f2\\c"), "C");
    int longHeaders = 0;
    for (const SimPacket& p : rig.calculator.Received())
        longHeaders += p.cmd == Cmd::VAR && p.data.size() == 6 + 17 && p.word == 6 + 17;
    EXPECT_EQ(longHeaders, 1);
    EXPECT_EQ(rig.view.statuses[rig.view.statuses.size() - 2], "5 variable(s) was sent!");
}

TEST_F(Send, GroupFileBeyond64KBSendsTheRightBytes)
{
    std::vector<FileVariable> vars;
    for (char c : std::string("pqr"))
        vars.push_back({"big", std::string(1, c), 0x0B, std::string(30000, c) + PatternImage(99)});
    const std::string bytes = VariableFile(vars);
    ASSERT_GT(bytes.size(), 65536u);
    ASSERT_TRUE(Send92g(rig.link, rig.view, Put("big.92g", bytes)));
    for (const FileVariable& v : vars)
        EXPECT_EQ(Held("big\\" + v.name), v.data) << v.name;
}

TEST_F(Send, EachRefusalEndsTheSendWithItsText)
{
    struct Case {
        void (*fault)(SimFaults&);
        std::string text;
    };
    const std::vector<Case> cases = {
        {[](SimFaults& f) { f.refuseVariables = true; },
         "Did not get OK to send variable! Memory full? Transfer aborted.\rThe calculator's reason: out of memory."},
        {[](SimFaults& f) { f.refuseVariableCts = true; },
         "Did not get the REQUESTION ACK! Transfer aborted.\rThe calculator's reason: skipped."},
        {[](SimFaults& f) { f.refuseVariableData = true; },
         "Did not get the DATA ACK! Transfer aborted.\rThe calculator's reason: skipped."},
        {[](SimFaults& f) { f.refuseReady = true; },
         "Calculator not ready. Transfer aborted.\rThe calculator's reason: skipped."},
    };
    const std::string path = Put("two.92g", VariableFile({{"main", "a", 0, "1"}, {"main", "b", 0, "2"}}));
    for (const Case& c : cases) {
        SimRig fresh;
        c.fault(fresh.calculator.faults);
        try {
            Send92g(fresh.link, fresh.view, path);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const ECalculatorError& e) {
            EXPECT_EQ(e.what(), c.text);
        }
        EXPECT_EQ(fresh.calc.VariableCount(), 0u) << c.text;
        // The refusal was acknowledged, as the calculator waits for.
        EXPECT_EQ(fresh.calculator.Received().back().cmd, Cmd::ACK) << c.text;
        EXPECT_TRUE(fresh.view.memo.empty());
        EXPECT_EQ(fresh.view.statuses.back(), "(none)");
    }
}

TEST_F(Send, TheVirtualCalculatorRefusesBadNamesAndAFullMemory)
{
    EXPECT_THROW(SendFile("bad.92e", {{"main", "9lives", 0x00, "1"}}), ECalculatorError);
    rig.calc.memoryCapacity = 100;
    EXPECT_THROW(SendFile("big.92t", {{"main", "t", 0x0B, std::string(99, 't')}}), ECalculatorError);
    EXPECT_EQ(rig.calc.VariableCount(), 0u);
}

TEST_F(Send, DamagedFilesAreRefusedBeforeAnythingIsSent)
{
    const std::string good = VariableFile({{"main", "a", 0, "first"}, {"main", "b", 0, "second"}});
    std::string badSize = good;
    badSize[good.size() - 10] = 9;  // the size word of b no longer matches the table
    std::string badOffset = good;
    badOffset[60 + 16 * 3 + 2] = 1;  // the end offset points far past the file
    for (const std::string& bytes :
         {good.substr(0, good.size() - 3), badSize, badOffset, BackupFile("1.11", PatternImage(100))}) {
        SimRig fresh;
        EXPECT_THROW(Send92g(fresh.link, fresh.view, Put("d.92g", bytes)), EFileError);
        EXPECT_TRUE(fresh.line->written.empty());
    }
}

TEST_F(Send, RealFilesArriveAsTheyWereSaved)
{
    for (const char* name : {"alltypes.92g", "group.92g", "str.92s", "str-junkpad.92s", "romdump.92p"}) {
        const std::string path = std::string(LINKWISE_REAL92_DIR) + "/" + name;
        SimRig fresh;
        ASSERT_TRUE(Send92g(fresh.link, fresh.view, path)) << name;
        VirtualTI92 loaded;
        loaded.LoadFile(path);
        ASSERT_EQ(fresh.calc.VariableCount(), loaded.VariableCount()) << name;
        for (const SimFolder& f : loaded.folders)
            for (const SimVariable& v : f.variables) {
                const SimVariable* got = fresh.calc.FindVariable(f.name + "\\" + v.name);
                ASSERT_NE(got, nullptr) << name << " " << v.name;
                EXPECT_EQ(got->bytes, v.bytes) << name << " " << v.name;
            }
    }
}
