#include <gtest/gtest.h>

#include <filesystem>

#include "files/ByteSource.h"
#include "files/ClassifyFile.h"
#include "files/EntryTable.h"
#include "files/FileFormat.h"
#include "files/FileListing.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/RecordingTransferView.h"

namespace {
class RealFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::is_directory(LINKWISE_REAL92_DIR))
            << "the real TI-92 files are missing from " << LINKWISE_REAL92_DIR;
    }
    static std::string Path(const std::string& name) { return std::string(LINKWISE_REAL92_DIR) + "/" + name; }
    static VariableFileType Classify(const std::string& name)
    {
        VariableFileType info;
        info.path = Path(name);
        EXPECT_TRUE(ClassifyFile(info));
        return info;
    }
    static std::vector<std::string> Listing(const std::string& name)
    {
        std::vector<std::string> out;
        for (const ListItem& item : ListIncludedVariables(Path(name)))
            out.push_back(item.caption + ":" + (item.subItems.empty() ? "" : item.subItems[0]));
        return out;
    }
};
}  // namespace

TEST_F(RealFilesTest, SingleStrings)
{
    for (const char* name : {"str.92s", "str-junkpad.92s", "xx.92s", "yy.92s"}) {
        SCOPED_TRACE(name);
        VariableFileType info = Classify(name);
        EXPECT_EQ(KindText(info.kind), "Single (string)");
        EXPECT_EQ(CopyUntilNul(info.comment, 34), "String file dated 11/05/99, 10:47 ");
        EXPECT_EQ(info.size, 96);
        DiskBytes file(Path(name));
        EntryTable table = ReadEntryTable(file);
        ASSERT_EQ(table.entries.size(), 1u);
        EXPECT_EQ(table.entries[0].folder, "group");
        EXPECT_EQ(ReadVariableData(file, table.entries[0]), Hex("0006 00616263002D"));
    }
    EXPECT_EQ(Listing("str-junkpad.92s"), std::vector<std::string>{"group\\str:string"});
    EXPECT_EQ(Listing("xx.92s"), std::vector<std::string>{"group\\X:string"});
}

TEST_F(RealFilesTest, GroupFiles)
{
    VariableFileType group = Classify("group.92g");
    EXPECT_EQ(KindText(group.kind), "Groupfile");
    EXPECT_EQ(group.entryCount, 3u);
    EXPECT_EQ(Listing("group.92g"), (std::vector<std::string>{"group\\X:string", "group\\Y:string"}));

    VariableFileType all = Classify("alltypes.92g");
    EXPECT_EQ(all.kind, kinds::kGroup);
    EXPECT_EQ(CopyUntilNul(all.comment, 34), "Group file dated 12/31/99, 15:03");
    std::vector<std::string> listing = Listing("alltypes.92g");
    EXPECT_EQ(listing.size(), 12u);
    for (const char* type : {"data", "expression", "function", "figure", "gdb", "list", "macro", "matrix", "picture",
                             "program", "string", "text"})
        EXPECT_EQ(std::count_if(listing.begin(), listing.end(),
                                [&](const std::string& s) {
                                    return s.rfind("group\\", 0) == 0 && s.substr(s.find(':') + 1) == type;
                                }),
                  1)
            << type;

    // Every data part lies where the table says and ends where the next begins.
    DiskBytes file(Path("alltypes.92g"));
    EntryTable table = ReadEntryTable(file);
    EXPECT_EQ(table.entries[0].folderSize, 12);
    for (const FileEntry& e : table.entries) {
        if (!e.IsFolder()) {
            EXPECT_EQ(e.dataOffset + 4 + ReadVariableData(file, e).size() + 2, e.nextOffset) << e.name;
        }
    }
    EXPECT_EQ(table.entries.back().nextOffset, file.Size());
}

TEST_F(RealFilesTest, FargoProgram)
{
    VariableFileType info = Classify("romdump.92p");
    EXPECT_EQ(KindText(info.kind), "Fargo v2.x program");
    EXPECT_EQ(info.libraries, std::vector<std::string>{"tios"});
    EXPECT_EQ(info.comment.find("**"), std::string::npos);
    EXPECT_EQ(Listing("romdump.92p"), std::vector<std::string>{"main\\romdump:program"});
}

TEST_F(RealFilesTest, BackupRoundTripsByteForByte)
{
    VariableFileType info = Classify("backup.92b");
    EXPECT_EQ(KindText(info.kind), "Single (backup)");
    DiskBytes file(Path("backup.92b"));
    EXPECT_EQ(ShapeOf(file), FileShape::Backup);
    EntryTable table = ReadEntryTable(file);
    ASSERT_EQ(table.entries.size(), 1u);
    EXPECT_EQ(table.entries[0].name, "1.11");
    std::string image = ReadBackupImage(file);
    EXPECT_EQ(image.size(), 57290u);

    ScratchFolder dir;
    TempStore store(dir.Path());
    store.Clear();
    store.AddItem(table.entries[0].name, table.entries[0].type, image);
    RecordingTransferView view;
    ASSERT_TRUE(SaveAs92g(view, store, true, dir / "copy.92b", true, false, CopyUntilNul(table.comment, 34)));
    EXPECT_TRUE(ReadFile(dir / "copy.92b") == ReadFile(Path("backup.92b")));
}
