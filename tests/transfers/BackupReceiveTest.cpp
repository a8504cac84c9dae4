#include <gtest/gtest.h>

#include "files/ByteSource.h"
#include "files/EntryTable.h"
#include "files/SaveAs92g.h"
#include "link/Exceptions.h"
#include "tests/sim/SimBytes.h"
#include "tests/transfers/SentFiles.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/BackupReceive.h"
#include "transfers/BackupSend.h"

namespace {

struct BackupReceive : ::testing::Test {
    SimRig rig;
    bool Receive() { return ReceiveBackup(rig.link, rig.view, rig.store); }
    std::string Stored() { return ReadWholeFile(rig.store.DataPath()); }
};

}  // namespace

TEST_F(BackupReceive, ThreeBlocksMakeOneRecordWithEveryImageByte)
{
    const std::string image = PatternImage(2500);
    rig.calc.InstallMemoryImage(image);
    ASSERT_TRUE(Receive());
    for (ProgressBarId bar : {ProgressBarId::Variable, ProgressBarId::Total})
        EXPECT_EQ(rig.view.BarPosition(bar), rig.view.BarMax(bar)) << "full bars after a whole backup";
    EXPECT_EQ(ToHex(rig.line->written.substr(4, 23)),
              "09 A2 11 00 00 00 00 00 1D 0B 6D 61 69 6E 5C 62 61 63 6B 75 70 9F 04");
    EXPECT_EQ(Stored(), image);
    const auto records = rig.store.ReadIndex();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].name, "1.11");
    EXPECT_EQ(records[0].type, 0x1D);
    EXPECT_EQ(records[0].start, 0);
    EXPECT_EQ(records[0].finish, 2500);
    EXPECT_EQ(records[0].length, 2500);
    for (const char* status : {"Receiving block 1 ROM v1.11", "Receiving block 2 ROM v1.11",
                               "Receiving block 3 ROM v1.11", "Backup received!(2500 bytes)"})
        EXPECT_EQ(rig.view.Count("ShowStatus(" + std::string(status) + ")"), 1) << status;
    EXPECT_EQ(rig.view.labels[LabelId::Transfer], "Backup is successfully received. (2500 bytes)");
    EXPECT_EQ(rig.view.labels[LabelId::VariablesHeading], "Thing to get");
    EXPECT_EQ(rig.view.nextClicks, 1);
    EXPECT_TRUE(rig.view.memo.empty());
    EXPECT_FALSE(rig.view.transferMode);
    EXPECT_EQ(rig.calculator.ActiveConversation(), "") << "the end of the backup was acknowledged";
}

TEST_F(BackupReceive, BlockWithoutImageBytesAddsNothing)
{
    rig.calc.InstallMemoryImage(PatternImage(1500));
    rig.calculator.faults.emptyBackupBlock = 1;
    ASSERT_TRUE(Receive());
    EXPECT_EQ(Stored(), PatternImage(1500));
    EXPECT_EQ(rig.view.Count("ShowStatus(Receiving block 3"), 1);
}

TEST_F(BackupReceive, FailuresLeaveNothingToSave)
{
    struct Case {
        void (*fault)(SimFaults&);
        std::string message;
    };
    const std::vector<Case> cases = {
        {[](SimFaults& f) { f.damageBackupBlock = 2; },
         "Message: \rBlock 2 of the backup arrived damaged (checksum error)."},
        {[](SimFaults& f) { f.refuseBackup = true; }, "Message: \rDid not got requestACK"},
        {[](SimFaults& f) { f.longBackupBlock = 2; },
         "Message: \rBlock 2 of the backup arrived damaged (length 1029)."},
        {[](SimFaults& f) { f.silentAfterBytes = 3000; }, "Timeout occured when receiving byte."},
    };
    for (const Case& c : cases) {
        SimRig fresh;
        fresh.calc.InstallMemoryImage(PatternImage(5000));
        c.fault(fresh.calculator.faults);
        EXPECT_FALSE(ReceiveBackup(fresh.link, fresh.view, fresh.store));
        ASSERT_EQ(fresh.view.errorDialogs.size(), 1u);
        EXPECT_NE(fresh.view.errorDialogs[0].find("Some error occured while receiving the backup!"), std::string::npos);
        EXPECT_NE(fresh.view.errorDialogs[0].find(c.message), std::string::npos) << fresh.view.errorDialogs[0];
        EXPECT_EQ(fresh.store.DataSize(), 0u);
        EXPECT_TRUE(fresh.store.ReadIndex().empty());
        EXPECT_EQ(fresh.view.nextClicks, 0);
        EXPECT_FALSE(fresh.view.transferMode);
    }
}

TEST_F(BackupReceive, RomVersionFromTheFirstHeader)
{
    rig.calc.romVersion = "2.1";
    EXPECT_EQ(GetRomVer(rig.link, rig.view), "2.1");
    EXPECT_EQ(rig.view.statuses.back(), "(none)");
    EXPECT_FALSE(rig.view.transferMode);

    rig.calculator.faults.refuseBackup = true;
    try {
        GetRomVer(rig.link, rig.view);
        ADD_FAILURE() << "no error";
    } catch (const ECalculatorError& e) {
        EXPECT_STREQ(e.what(), "Did not got requestACK\rThe calculator's reason: skipped.");
    }
    EXPECT_EQ(rig.view.statuses.back(), "(none)");
    EXPECT_FALSE(rig.view.transferMode);
}

// Received, saved as a backup file and sent back: the calculator's memory
// is byte for byte what it was, for a virtual memory and a real one.
TEST_F(BackupReceive, RoundTripRestoresTheMemory)
{
    rig.calc = VirtualTI92::WithDemoContent();
    const std::string real = std::string(LINKWISE_REAL92_DIR) + "/backup.92b";
    for (const std::string& content : {std::string(), real}) {
        if (!content.empty())
            rig.calc.LoadFile(content);
        const std::string before = rig.calc.MemoryImage();
        ASSERT_TRUE(Receive());
        const std::string saved = rig.folder.filePath("saved.92b").toStdString();
        ASSERT_TRUE(SaveAs92g(rig.view, rig.store, true, saved, true, true, "round trip"));
        const DiskBytes file(saved);
        EXPECT_EQ(ReadBackupImage(file), before);
        EXPECT_EQ(ReadEntryTable(file).entries.at(0).nextOffset, file.Size());
        if (!content.empty()) {
            EXPECT_EQ(ReadWholeFile(saved).substr(60), ReadWholeFile(content).substr(60));
        }

        rig.calc.Clear();
        ASSERT_TRUE(SendBackup(rig.link, rig.view, saved));
        EXPECT_EQ(rig.calc.MemoryImage(), before);
        if (content.empty()) {
            EXPECT_NE(rig.calc.FindVariable("main\\notes"), nullptr);
        }
    }
}
