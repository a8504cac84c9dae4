#include <gtest/gtest.h>

#include "files/ByteSource.h"
#include "files/ClassifyFile.h"
#include "files/FileFormat.h"
#include "files/FileListing.h"
#include "tests/files/FileTestSupport.h"

namespace {
VariableFileType Classify(const std::string& bytes, const std::string& path = "f.92p", FargoVisibility show = {},
                          bool* result = nullptr)
{
    VariableFileType info;
    info.path = path;
    MemoryBytes source(bytes);
    bool r = ClassifyBytes(info, source, show);
    if (result)
        *result = r;
    return info;
}

// Variable data laid out from file offset 88: data[i] lies at offset 88 + i.
std::string FargoData(size_t length)
{
    return std::string(length, '\x11');
}
void Put(std::string& data, uint64_t fileOffset, const std::string& bytes)
{
    data.replace(fileOffset - 88, bytes.size(), bytes);
}

std::string Fargo1Program(int libraries)
{
    std::string d = FargoData(200);
    Put(d, 89, "P");
    Put(d, 94, Hex("001F"));   // table at 0x1F + 89 = 120
    Put(d, 100, Hex("0070"));  // description at 0x70 + 88 = 200
    std::string table(1, static_cast<char>(libraries));
    for (int i = 0; i < libraries; ++i)
        table += "lib" + std::to_string(i) + (i % 2 ? '\x81' : '\0');
    Put(d, 120, table);
    Put(d, 200, std::string("My game\0", 8));
    return SingleFileBytes("main", "game", 0x12, d, "comment");
}

std::string Fargo2Program()
{
    std::string d = FargoData(100);
    Put(d, 90, "EXE APPL");
    Put(d, 104, Hex("002C"));       // table word at 0x2C + 86 = 130
    Put(d, 108, Hex("004A"));       // description at 0x4A + 86 = 160
    Put(d, 130, Hex("0003 0032"));  // 3 names at 0x32 + 86 = 136
    Put(d, 136, std::string("tios\0flib\x81util\0", 15));
    Put(d, 160, std::string("Shooter\x81", 8));
    return SingleFileBytes("main", "shoot", 0x12, d);
}
}  // namespace

TEST(ValidityTest, SignatureAndMoreThan52Bytes)
{
    std::string file = "**TI92**" + std::string(44, 'x');
    MemoryBytes at52(file);
    EXPECT_FALSE(IsVariableFile(at52));
    file += 'x';
    MemoryBytes at53(file);
    EXPECT_TRUE(IsVariableFile(at53));
    EXPECT_EQ(Classify(file.substr(0, 52), "a.92p").kind, kinds::kNone);
    EXPECT_EQ(Classify(file.substr(0, 52), "a.92p").comment, "(corrupted)");
    // 53 bytes: the entry count is missing.
    EXPECT_EQ(Classify(file, "a.92p").kind, kinds::kGroup);
    EXPECT_EQ(Classify(file, "a.txt").kind, kinds::kGroup);
}

TEST(ClassifyTest, TextFiles)
{
    VariableFileType info = Classify("short note", "NOTES.TxT");
    EXPECT_EQ(info.kind, kinds::kText);
    EXPECT_EQ(info.comment, "short note");
    EXPECT_EQ(info.extension, "TxT");
    const std::string thirty = "123456789012345678901234567890";
    EXPECT_EQ(Classify(thirty, "n.txt").comment, thirty);
    EXPECT_EQ(Classify(thirty + "X", "n.txt").comment, thirty + "...");
    EXPECT_EQ(Classify(thirty + "X", "n.92t").comment, "(corrupted)");
    EXPECT_EQ(KindText(Classify("", "n.92t").kind), "-");
    EXPECT_EQ(KindText(kinds::kText), "Textfile");
}

TEST(ClassifyTest, SingleGroupAndBackup)
{
    VariableFileType single = Classify(SingleFileBytes("main", "abcdefgh", 0x0C, "abc", "Hello"), "s.92s");
    EXPECT_EQ(single.kind, 100 + 0x0C);
    EXPECT_EQ(KindText(single.kind), "Single (string)");
    EXPECT_EQ(single.comment, "Hello" + Zeros(29));
    EXPECT_EQ(single.entryCount, 1u);
    EXPECT_EQ(single.extension, "92s");

    std::string group = SingleFileBytes("", "x", 0x00, "abc");
    group[58] = 2;
    EXPECT_EQ(Classify(group).kind, kinds::kGroup);
    group[58] = 0;
    EXPECT_EQ(KindText(Classify(group).kind), "Groupfile");

    std::string backup = SingleFileBytes("", "1.11", 0x1D, "image");
    EXPECT_EQ(KindText(Classify(backup, "b.92b").kind), "Single (backup)");
    EXPECT_EQ(KindText(131), "unknown");
}

TEST(ClassifyTest, FargoProgramsAndLibraries)
{
    VariableFileType v1 = Classify(Fargo1Program(2));
    EXPECT_EQ(v1.kind, kinds::kFargo1Program);
    EXPECT_EQ(v1.libraries, (std::vector<std::string>{"lib0", "lib1"}));
    EXPECT_EQ(v1.description, "My game");
    EXPECT_EQ(v1.comment, "comment" + Zeros(27));

    VariableFileType many = Classify(Fargo1Program(12));
    EXPECT_EQ(many.LibraryCount(), 10);
    EXPECT_EQ(many.libraries.back(), "lib9");

    std::string d = FargoData(20);
    Put(d, 89, "L");
    EXPECT_EQ(KindText(Classify(SingleFileBytes("main", "flib", 0x12, d)).kind), "Fargo v1.x library");

    VariableFileType v2 = Classify(Fargo2Program());
    EXPECT_EQ(KindText(v2.kind), "Fargo v2.x program");
    EXPECT_EQ(v2.libraries, (std::vector<std::string>{"tios", "flib", "util"}));
    EXPECT_EQ(v2.description, "Shooter");

    d = FargoData(20);
    Put(d, 90, "EXE DLL");
    EXPECT_EQ(KindText(Classify(SingleFileBytes("main", "util", 0x12, d)).kind), "Fargo v2.x library");
    EXPECT_EQ(Classify(SingleFileBytes("main", "util", 0x12, d)).description, "");
}

TEST(ClassifyTest, HiddenFargoVersionsAreLeftOut)
{
    bool result = true;
    Classify(Fargo1Program(1), "a.92p", {false, true}, &result);
    EXPECT_FALSE(result);
    Classify(Fargo2Program(), "a.92p", {false, true}, &result);
    EXPECT_TRUE(result);
    Classify(Fargo2Program(), "a.92p", {true, false}, &result);
    EXPECT_FALSE(result);
    Classify(SingleFileBytes("main", "x", 0x0C, "abc"), "a.92p", {false, false}, &result);
    EXPECT_TRUE(result);
}

TEST(ClassifyTest, HostileLibraryTablesStayInsideTheFile)
{
    std::string d = FargoData(20);
    Put(d, 89, "P");
    Put(d, 94, Hex("FFFF"));
    VariableFileType info = Classify(SingleFileBytes("main", "x", 0x12, d, "c"));
    EXPECT_EQ(info.kind, kinds::kFargo1Program);
    EXPECT_EQ(info.comment.substr(info.comment.size() - 2), "**");

    // Names with no end byte run to the end of the file.
    std::string file = Fargo2Program();
    file.erase(file.size() - 2);
    file.resize(88 + 48);
    file += "tios";
    info = Classify(file);
    EXPECT_EQ(info.kind, kinds::kFargo2Program);
    EXPECT_EQ(info.comment.substr(info.comment.size() - 2), "**");
}

TEST(ClassifyTest, TruncatedAtEveryOffset)
{
    for (const std::string& whole : {Fargo2Program(), Fargo1Program(3), SingleFileBytes("main", "x", 0x0C, "abc")}) {
        VariableFileType full = Classify(whole);
        EXPECT_EQ(full.comment.find("**"), std::string::npos);
        for (size_t n = 0; n <= whole.size(); ++n) {
            SCOPED_TRACE(n);
            std::string cut = whole.substr(0, n);
            VariableFileType info = Classify(cut);
            if (n < 53) {
                EXPECT_EQ(info.kind, kinds::kNone);
                EXPECT_EQ(info.comment, "(corrupted)");
            } else if (n < 73) {
                EXPECT_TRUE(info.kind == kinds::kGroup || info.kind == kinds::kNone);
                EXPECT_EQ(info.comment.substr(info.comment.size() - 2), "**");
            } else {
                EXPECT_TRUE(info.kind == full.kind || info.kind == 100 + 0x12 || info.kind == 100 + 0x0C) << info.kind;
            }
            EXPECT_LE(info.LibraryCount(), full.LibraryCount());
            MemoryBytes source(cut);
            std::vector<ListItem> items = ListIncludedVariables(source);
            EXPECT_LE(items.size(), 1u);
        }
    }
}

TEST(SizeTextTest, Boundaries)
{
    EXPECT_EQ(SizeText(0), "0 b");
    EXPECT_EQ(SizeText(1023), "1023 b");
    EXPECT_EQ(SizeText(1024), "1 kb");
    EXPECT_EQ(SizeText(1048575), "1023 kb");
    EXPECT_EQ(SizeText(1048579), "1024 kb");
    EXPECT_EQ(SizeText(1048580), "1 mb");
    EXPECT_EQ(SizeText(1300), "1 kb");
}

TEST(FileListCompareTest, KeysAndNeverEqual)
{
    ListItem a{"a.92p", {"zz", "Groupfile", "2 kb"}, 2000};
    ListItem b{"b.92p", {"aa", "Textfile", "100 b"}, 100};
    EXPECT_EQ(FileListCompare(a, b, 0), -1);
    EXPECT_EQ(FileListCompare(b, a, 0), 1);
    EXPECT_EQ(FileListCompare(a, a, 0), -1);
    EXPECT_EQ(FileListCompare(a, b, 1), 1);
    EXPECT_EQ(FileListCompare(a, b, 2), -1);
    EXPECT_EQ(FileListCompare(a, b, 3), 1);
    EXPECT_EQ(FileListCompare(a, a, 3), -1);
}

TEST(ListIncludedVariablesTest, SingleUsesDefaultFolderAndNamesStopAtNul)
{
    std::string file = SingleFileBytes("abcdefgh", "ijklmnop", 0x0C, "abc");
    MemoryBytes source(file);
    std::vector<ListItem> items = ListIncludedVariables(source);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].caption, "abcdefgh\\ijklmnop");
    EXPECT_EQ(items[0].subItems, std::vector<std::string>{"string"});
    file[66] = '\0';  // name "ij"
    file[12] = '\0';  // folder "ab", junk after the NUL
    MemoryBytes changed(file);
    EXPECT_EQ(ListIncludedVariables(changed)[0].caption, "ab\\ij");
    MemoryBytes text("plain text, long enough to pass the length test of variable files");
    EXPECT_TRUE(ListIncludedVariables(text).empty());
}
