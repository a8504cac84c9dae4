#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "files/FileBrowser.h"
#include "link/Exceptions.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/TI92FileBuilder.h"

namespace {
const BrowserFilter kDefault{".92G;.92E;.92L;.92M;.92C;.92T;.92S;.92D;.92A;.92I;.92P;.92F;.92X;.92B;", {}};

std::vector<std::string> Captions(const std::vector<ListItem>& rows)
{
    std::vector<std::string> out;
    for (const ListItem& r : rows)
        out.push_back(r.caption);
    return out;
}

// A folder with one file of each interesting kind.
struct MixedFolder {
    MixedFolder()
    {
        WriteBytes(dir / "game.92p",
                   VariableFileBytes("main", "c", {{"game", 0x12, Fargo1ProgramData({"util", "flib"}, "Space game")}}));
        WriteBytes(dir / "shoot.92p",
                   VariableFileBytes("main", "", {{"shoot", 0x12, Fargo2ProgramData({"tios"}, "Shooter")}}));
        WriteBytes(dir / "Group.92G", VariableFileBytes("", "two folders",
                                                        {BuiltEntry::Folder("main"),
                                                         {"a", 0x0C, "xy"},
                                                         BuiltEntry::Folder("games"),
                                                         {"b", 0x0B, TextVariableData({"t"})}}));
        std::string cut = VariableFileBytes("main", "cut short", {{"abc", 0x12, std::string(40, 'x')}});
        WriteBytes(dir / "cut.92p", cut.substr(0, 85));
        WriteBytes(dir / "notes.txt", std::string(31, 'n'));
        WriteBytes(dir / "tiny.92s", "**TI92**");
        WriteBytes(dir / ".hidden.92p", "x");
        WriteBytes(dir / "readme", "no extension");
        std::filesystem::create_directory(dir.Path() / "sub.92g");
        mkfifo((dir / "pipe.92p").c_str(), 0600);
    }
    ScratchFolder dir;
};
}  // namespace

TEST(FileBrowserTest, ListsWhatTheFilterLetsThrough)
{
    MixedFolder f;
    std::vector<ListItem> rows = ListFiles(f.dir.Path().string(), kDefault);
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"Group.92G", "cut.92p", "game.92p", "shoot.92p", "tiny.92s"}));
    EXPECT_EQ(rows[0].subItems, (std::vector<std::string>{"two folders", "Groupfile", "154 b"}));
    EXPECT_EQ(rows[1].subItems[0], "cut short**");
    EXPECT_EQ(rows[2].subItems[0], "Space game *");
    EXPECT_EQ(rows[2].subItems[1], "Fargo v1.x program");
    EXPECT_EQ(rows[4].subItems, (std::vector<std::string>{"(corrupted)", "-", "8 b"}));

    BrowserFilter withText = kDefault;
    withText.extensions += ".TXT;";
    withText.show.showFargo2 = false;
    rows = ListFiles(f.dir.Path().string(), withText, 3);
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"tiny.92s", "notes.txt", "cut.92p", "game.92p", "Group.92G"}));
    EXPECT_EQ(rows[1].subItems[0], std::string(30, 'n') + "...");

    ScratchFolder empty;
    rows = ListFiles(empty.Path().string(), kDefault);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].caption, "(no files to show)");
    EXPECT_TRUE(rows[0].subItems.empty());
    EXPECT_EQ(DescribeFile(empty.Path().string(), rows[0].caption).title, "File not found!");
    EXPECT_THROW(ListFiles(empty / "gone", kDefault), EFileError);
}

TEST(FileBrowserTest, SortsByTheClickedColumn)
{
    std::vector<ListItem> rows(3);
    rows[0] = {"b", {"x", "Textfile", "2 kb"}, 2048};
    rows[1] = {"a", {"z", "Groupfile", "900 b"}, 900};
    rows[2] = {"c", {"y", "-", "10 b"}, 10};
    SortFileList(rows, SortKeyForColumn(3, "Size"));
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"c", "a", "b"}));
    SortFileList(rows, SortKeyForColumn(1, "Comment"));
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"b", "c", "a"}));
    SortFileList(rows, SortKeyForColumn(2, "Type"));
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"c", "a", "b"}));
    SortFileList(rows, SortKeyForColumn(0, "Filename"));
    EXPECT_EQ(Captions(rows), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SelectionSizeText(100 + 200 + 1000, 3), "1 kb (#3)");
}

TEST(FileBrowserTest, PanelForEachKind)
{
    MixedFolder f;
    const std::string dir = f.dir.Path().string();
    WriteBytes(f.dir / "game.txt", "about the game");
    WriteBytes(f.dir / "game.PNG", "picture");

    FilePanel game = DescribeFile(dir, "game.92p");
    EXPECT_EQ(game.title, "File info of game.92p");
    EXPECT_EQ(game.kindText, "Fargo v1.x program");
    EXPECT_EQ(game.comment, "Fargo: Space game");
    EXPECT_TRUE(game.commentReadOnly);
    EXPECT_TRUE(game.showLibraries);
    EXPECT_EQ(game.libraries, "util, flib");
    EXPECT_EQ(game.textSideFile, f.dir / "game.txt");
    EXPECT_EQ(game.pictureSideFile, f.dir / "game.PNG");
    ASSERT_EQ(game.variables.size(), 1u);
    EXPECT_EQ(game.variables[0].caption, "main\\game");

    FilePanel group = DescribeFile(dir, "Group.92G");
    EXPECT_EQ(group.comment, "two folders");
    EXPECT_FALSE(group.commentReadOnly);
    EXPECT_FALSE(group.showLibraries);
    ASSERT_EQ(group.variables.size(), 2u);
    EXPECT_EQ(group.variables[1].caption, "games\\b");
    EXPECT_EQ(group.variables[1].subItems, std::vector<std::string>{"text"});
    EXPECT_TRUE(group.textSideFile.empty());

    FilePanel notes = DescribeFile(dir, "notes.txt");
    EXPECT_EQ(notes.kindText, "Textfile");
    EXPECT_FALSE(notes.showVariables);

    std::vector<std::string> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.push_back("l" + std::to_string(i));
    WriteBytes(f.dir / "many.92p", VariableFileBytes("main", "", {{"many", 0x12, Fargo1ProgramData(twelve, "")}}));
    FilePanel many = DescribeFile(dir, "many.92p");
    EXPECT_EQ(many.libraries, "l0, l1, l2, l3, l4, l5, l6, l7, l8, l9");
    EXPECT_EQ(many.libraryWarning, "This program names 12 libraries; only the first 10 are used.");
}
