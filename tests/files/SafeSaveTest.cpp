// Saves that cannot be turned against the user: only a regular file (or a
// link to one) is replaced, a planted link cannot redirect the write, two
// saves to one target each replace it whole, and a name from the calculator
// names a file inside the chosen folder.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include "files/ByteSource.h"
#include "files/ReplacingFile.h"
#include "files/SafeFileName.h"
#include "link/Exceptions.h"
#include "tests/support/TI92FileBuilder.h"

namespace fs = std::filesystem;

namespace {

struct SafeSave : ::testing::Test {
    QTemporaryDir dir;
    fs::path Path(const std::string& name) const { return fs::path(dir.path().toStdString()) / name; }

    static void Save(const fs::path& target, const std::string& bytes)
    {
        ReplacingFile file(target.string());
        file.Stream() << bytes;
        file.Commit();
    }
    // Everything in the folder but the entries named.
    std::vector<std::string> Others(std::initializer_list<std::string> known) const
    {
        std::vector<std::string> others;
        for (const auto& e : fs::directory_iterator(dir.path().toStdString()))
            if (std::find(known.begin(), known.end(), e.path().filename().string()) == known.end())
                others.push_back(e.path().filename().string());
        return others;
    }
};

}  // namespace

TEST_F(SafeSave, SpecialFilesAreRefusedUntouched)
{
    ASSERT_EQ(::mkfifo(Path("fifo.92b").c_str(), 0600), 0);
    fs::create_directory(Path("folder.92b"));
    fs::create_symlink("/dev/null", Path("null.png"));
    const bool node = ::mknod(Path("node.png").c_str(), S_IFCHR | 0600, makedev(1, 3)) == 0;
    struct Case {
        std::string name;
        std::string kind;
    };
    std::vector<Case> cases = {{"fifo.92b", "a FIFO"}, {"folder.92b", "a folder"}, {"null.png", "a device"}};
    if (node)
        cases.push_back({"node.png", "a device"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::file_type before = fs::symlink_status(Path(c.name)).type();
        const std::string expected = "Cannot save to " + Path(c.name).string() + ": it is " + c.kind +
                                     ", not a regular file; nothing was written.";
        try {
            ReplacingFile::CheckTarget(Path(c.name).string());
            ADD_FAILURE() << "not refused before the work";
        } catch (const EFileError& e) {
            EXPECT_EQ(e.what(), expected);
        }
        try {
            Save(Path(c.name), "data");
            ADD_FAILURE() << "replaced";
        } catch (const EFileError& e) {
            EXPECT_EQ(e.what(), expected);
        }
        EXPECT_EQ(fs::symlink_status(Path(c.name)).type(), before);
    }
    EXPECT_EQ(Others({"fifo.92b", "folder.92b", "null.png", "node.png"}), std::vector<std::string>{});
}

TEST_F(SafeSave, PlantedLinksBesideTheTargetRedirectNothing)
{
    WriteBytes(Path("victim").string(), "precious");
    WriteBytes(Path("b.92b").string(), "old");
    fs::permissions(Path("b.92b"), fs::perms(0640));
    // Where a predictable part file would stand.
    for (const char* planted : {".b.92b.linkwise-part", ".b.92b.tmp", "b.92b.part"})
        fs::create_symlink(Path("victim"), Path(planted));
    Save(Path("b.92b"), "new image");
    EXPECT_EQ(ReadWholeFile(Path("victim").string()), "precious");
    EXPECT_EQ(ReadWholeFile(Path("b.92b").string()), "new image");
    EXPECT_EQ(fs::status(Path("b.92b")).permissions(), fs::perms(0640));
    EXPECT_EQ(Others({"victim", "b.92b", ".b.92b.linkwise-part", ".b.92b.tmp", "b.92b.part"}),
              std::vector<std::string>{});
}

// A link in a sticky folder anyone may write to is followed only where the
// kernel would follow it: its owner is the saver or the folder's owner.
TEST_F(SafeSave, ALinkAnotherUserPlantedInASharedFolderIsNotFollowed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, to give the link and its folder other owners";
    struct Row {
        uid_t linkOwner;
        uid_t folderOwner;
        bool followed;
    };
    const uid_t other = 65534, third = 65533;
    for (const Row& r :
         {Row{other, 0, false}, Row{other, third, false}, Row{0, other, true}, Row{other, other, true}}) {
        SCOPED_TRACE(std::to_string(r.linkOwner) + " in a folder of " + std::to_string(r.folderOwner));
        WriteBytes(Path("victim.txt").string(), "precious");
        fs::remove_all(Path("shared"));
        fs::create_directory(Path("shared"));
        ASSERT_EQ(::chmod(Path("shared").c_str(), 01777), 0);
        ASSERT_EQ(::chown(Path("shared").c_str(), r.folderOwner, r.folderOwner), 0);
        fs::create_symlink("../victim.txt", Path("shared/save.92b"));
        ASSERT_EQ(::lchown(Path("shared/save.92b").c_str(), r.linkOwner, r.linkOwner), 0);
        if (r.followed) {
            Save(Path("shared/save.92b"), "backup");
            EXPECT_EQ(ReadWholeFile(Path("victim.txt").string()), "backup");
            continue;
        }
        try {
            Save(Path("shared/save.92b"), "backup");
            ADD_FAILURE() << "the link was followed";
        } catch (const EFileError& e) {
            EXPECT_NE(std::string(e.what()).find("shared/save.92b is a symbolic link another user (uid 65534) owns"),
                      std::string::npos)
                << e.what();
        }
        EXPECT_EQ(ReadWholeFile(Path("victim.txt").string()), "precious");
    }
}

TEST_F(SafeSave, TwoSavesAtOnceEachReplaceTheFileWhole)
{
    const fs::path target = Path("same.92b");
    const std::string first(70000, 'a'), second(50000, 'b');
    {
        ReplacingFile a(target.string());
        ReplacingFile b(target.string());
        a.Stream() << first;
        b.Stream() << second;
        a.Commit();
        EXPECT_EQ(ReadWholeFile(target.string()), first);
        b.Commit();
    }
    EXPECT_EQ(ReadWholeFile(target.string()), second);
    // One abandoned part of a third save leaves nothing behind either.
    {
        ReplacingFile c(target.string());
        c.Stream() << "never committed";
    }
    EXPECT_EQ(ReadWholeFile(target.string()), second);
    EXPECT_EQ(Others({"same.92b"}), std::vector<std::string>{});
}

TEST(SafeFileName, KeepsOnlyWhatNamesAFileInTheFolder)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"notes", "notes"},      {"../../zz", "_.._zz"},
        {"/etc/x", "_etc_x"},    {"..", "_"},
        {".hidden", "hidden"},   {"", "_"},
        {"a\x1b[2Jb", "a_[2Jb"}, {"line\nnext\x7f", "line_next_"},
        {"caf\xe9", "caf\xe9"},  {std::string(300, 'n'), std::string(200, 'n')},
    };
    for (const auto& [name, safe] : cases)
        EXPECT_EQ(SafeFileName(name), safe) << name;
}
