#include <gtest/gtest.h>

#include <fstream>

#include "tests/sim/SimBytes.h"
#include "tests/transfers/SentFiles.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/BackupSend.h"

namespace {

struct BackupSend : ::testing::Test {
    SimRig rig;

    bool SendImage(const std::string& image)
    {
        const std::string path = rig.folder.filePath("b.92b").toStdString();
        std::ofstream(path, std::ios::binary) << BackupFile("1.11", image);
        return SendBackup(rig.link, rig.view, path);
    }
    // Lengths of the data packets the calculator received.
    std::vector<size_t> Blocks()
    {
        std::vector<size_t> sizes;
        for (const SimPacket& p : rig.calculator.Received())
            if (p.cmd == Cmd::DATA)
                sizes.push_back(p.data.size());
        return sizes;
    }
};

}  // namespace

TEST_F(BackupSend, ImageGoesInBlocksOfAtMost1024)
{
    const std::string image = PatternImage(2048);  // a file of 2132 bytes
    ASSERT_TRUE(SendImage(image));
    EXPECT_EQ(ToHex(rig.line->written.substr(4, 11)), "09 06 05 00 00 08 00 00 1D 25 00");
    EXPECT_EQ(ToHex(rig.line->written.substr(15, 11)), "09 06 05 00 00 00 00 00 1D 1D 00");
    EXPECT_EQ(ToHex(rig.line->written.substr(rig.line->written.size() - 4)), "09 92 00 00");
    EXPECT_EQ(Blocks(), (std::vector<size_t>{1024, 1024}));
    EXPECT_EQ(rig.calc.MemoryImage(), image);
    EXPECT_EQ(rig.view.memo, std::vector<std::string>{"Backup (\"b.92b\") was successfully sent."});
    EXPECT_EQ(rig.view.barPosition[ProgressBarId::Variable], 2048);
    EXPECT_EQ(rig.view.statuses.back(), "(none)");
}

TEST_F(BackupSend, LastBlockCarriesTheRest)
{
    ASSERT_TRUE(SendImage(PatternImage(2049)));
    EXPECT_EQ(Blocks(), (std::vector<size_t>{1024, 1024, 1}));
}

TEST_F(BackupSend, EmptyImageStillSendsOneBlock)
{
    ASSERT_TRUE(SendImage(""));
    EXPECT_EQ(ToHex(rig.line->written.substr(4 + 11 + 11 + 4)), "09 15 00 00 00 00 09 92 00 00");
}

TEST_F(BackupSend, RefusedSecondBlockIsReportedAndInstallsNothing)
{
    const std::string before = rig.calc.MemoryImage();
    rig.calculator.faults.refuseBackupBlock = 2;
    EXPECT_FALSE(SendImage(PatternImage(3000)));
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0],
              "Some error occured while sending the backup!\r\rMore info:\rErrorclass: ECalculatorError\r"
              "Message: \rDid not got block ACK! 1 block was sent.\rThe calculator's reason: skipped.");
    EXPECT_EQ(rig.view.memo, std::vector<std::string>{"An error (ECalculatorError) occured while sending \"b.92b\"."});
    EXPECT_EQ(rig.calc.MemoryImage(), before);
}

TEST_F(BackupSend, DamagedOrShortFileIsRefusedBeforeAnythingIsSent)
{
    const std::string path = rig.folder.filePath("b.92b").toStdString();
    std::string bytes = BackupFile("1.11", PatternImage(500));
    bytes[200] ^= 1;
    for (const std::string& content : {bytes, bytes.substr(0, 83)}) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
        EXPECT_FALSE(SendBackup(rig.link, rig.view, path));
        EXPECT_TRUE(rig.line->written.empty());
    }
    EXPECT_EQ(rig.view.errorDialogs.size(), 2u);
}

// The ready check only lights the lamp here; a refusal does not stop the backup.
TEST_F(BackupSend, RefusedReadyCheckStillSends)
{
    rig.calculator.faults.refuseReady = true;
    ASSERT_TRUE(SendImage(PatternImage(100)));
    EXPECT_EQ(rig.calc.MemoryImage(), PatternImage(100));
}
