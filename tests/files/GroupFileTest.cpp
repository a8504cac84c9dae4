#include <gtest/gtest.h>

#include <sstream>

#include "files/ByteSource.h"
#include "files/GroupFile.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "tests/files/FileTestSupport.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/support/TI92FileBuilder.h"

namespace {

const std::string kReal = LINKWISE_REAL92_DIR;

std::string Names(const std::vector<FileVariable>& variables)
{
    std::string names;
    for (const FileVariable& v : variables)
        names += (names.empty() ? "" : " ") + v.FullName();
    return names;
}

// What a save of received variables with these names writes: the file the
// group editing must reproduce.
std::string SavedFromScratch(const std::vector<FileVariable>& variables, const std::string& comment)
{
    ScratchFolder dir;
    TempStore store(dir.Path());
    store.Clear();
    for (const FileVariable& v : variables)
        store.AddItem(v.FullName(), v.type, v.data);
    RecordingTransferView view;
    EXPECT_TRUE(SaveAs92g(view, store, true, dir / "out.92g", false, false, comment));
    return ReadFile(dir / "out.92g");
}

std::string Message(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EFileError& e) {
        return e.what();
    }
    return "(nothing thrown)";
}

FileVariable Var(const std::string& folder, const std::string& name, const std::string& source = "a.92g")
{
    return {folder, name, 0x0C, SizedData(Hex("0061 2D")), source};
}

}  // namespace

TEST(GroupFile, ReadsTheRealFilesVariablesInOrder)
{
    const FileVariables all = ReadFileVariables(kReal + "/alltypes.92g");
    EXPECT_EQ(Names(all.variables),
              "group\\data group\\exp group\\f group\\fig group\\gdb group\\list group\\mac group\\mat group\\pic "
              "group\\prg group\\str group\\txt");
    EXPECT_EQ(all.variables[8].data.size(), 3095u + 2);
    EXPECT_EQ(Names(ReadFileVariables(kReal + "/group.92g").variables), "group\\X group\\Y");
    EXPECT_EQ(Names(ReadFileVariables(kReal + "/str-junkpad.92s").variables), "group\\str");
}

// Each edit, written anew, is the file a save of the resulting variables makes.
TEST(GroupFile, AnEditedGroupEqualsOneWrittenFromScratch)
{
    struct Row {
        const char* what;
        std::function<void(std::vector<FileVariable>&)> edit;
    };
    const std::vector<Row> rows = {{"unchanged", [](auto&) {}},
                                   {"first removed", [](auto& v) { v.erase(v.begin()); }},
                                   {"all but one removed", [](auto& v) { v.erase(v.begin() + 1, v.end()); }},
                                   {"renamed", [](auto& v) { RenameVariable(v, 3, "Figure2"); }},
                                   {"combined with another file", [](auto& v) {
                                        for (FileVariable x : ReadFileVariables(kReal + "/group.92g").variables) {
                                            x.folder = "other";
                                            v.push_back(x);
                                        }
                                    }}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        FileVariables file = ReadFileVariables(kReal + "/alltypes.92g");
        r.edit(file.variables);
        std::ostringstream written;
        WriteVariableFile(written, file.variables, file.comment);
        const std::string bytes = written.str();
        EXPECT_EQ(bytes, SavedFromScratch(file.variables, file.comment));
        // And it reads back as the same variables.
        MemoryBytes back(bytes);
        EXPECT_EQ(Names(ReadFileVariables(back, "back").variables), Names(file.variables));
    }
}

TEST(GroupFile, RefusesFilesItCannotTakeApart)
{
    std::string good = VariableFileBytes("", "", {BuiltEntry::Folder("main"), {"a", 0x0C, Hex("61")}});
    std::string badSum = good;
    badSum[badSum.size() - 1] ^= 1;
    std::string shortData = good.substr(0, good.size() - 3);
    std::string moved = good;
    moved[60 + 16 * 2] += 1;  // the end offset: the data part is shorter than the table says
    const std::string cutTable = good.substr(0, 70);
    struct Row {
        std::string bytes;
        const char* message;
    };
    for (const Row& r : {Row{"not a TI-92 file at all, only text here and there.....", "f is not a TI-92 file."},
                         Row{ReadFile(kReal + "/backup.92b"), "f is a memory backup, not a file of variables."},
                         Row{cutTable, "f ends inside its table of entries; the file is damaged."},
                         Row{shortData, "f: the variable main\\a runs past the end of the file; the file is damaged."},
                         Row{moved, "f: the variable main\\a is not where the file's table puts it; the file is "
                                    "damaged."},
                         Row{badSum, "f: the variable main\\a has a wrong checksum; the file is damaged."}}) {
        MemoryBytes bytes(r.bytes);
        EXPECT_EQ(Message([&] { ReadFileVariables(bytes, "f"); }), r.message);
    }
    MemoryBytes fine(good);
    EXPECT_EQ(Names(ReadFileVariables(fine, "f").variables), "main\\a");
}

TEST(GroupFile, RefusesWhatOneFileCannotHold)
{
    // A variable without a folder joins the folder before it, so main\x and x clash.
    for (const auto& names : {std::vector<FileVariable>{Var("main", "x", "a.92g"), Var("main", "X", "b.92s")},
                              std::vector<FileVariable>{Var("main", "x", "a.92g"), Var("", "x", "b.92s")}}) {
        EXPECT_EQ(Message([&] { CheckGroupable(names); }),
                  "The variable " + names[1].FullName() +
                      " is in both a.92g and b.92s; a file holds it once. Nothing was written.");
    }
    EXPECT_EQ(Message([&] { CheckGroupable({Var("", "x"), Var("main", "x")}); }), "(nothing thrown)");

    std::vector<FileVariable> many;
    for (int i = 0; i < 253; ++i)
        many.push_back(Var(i < 100 ? "one" : "two", "v" + std::to_string(i)));
    EXPECT_EQ(Message([&] { CheckGroupable(many); }), "(nothing thrown)");  // 253 + 2 folders
    many.push_back(Var("two", "last"));
    ScratchFolder dir;
    WriteFile(dir / "old.92g", "old");
    EXPECT_EQ(Message([&] { SaveVariableFile(dir / "old.92g", many, ""); }),
              "The variables make 256 entries, folders included; a TI-92 file holds at most 255. Nothing was "
              "written.");
    EXPECT_EQ(ReadFile(dir / "old.92g"), "old");
}

TEST(GroupFile, RenameChecksTheCalculatorsRules)
{
    std::vector<FileVariable> v = {Var("main", "a"), Var("main", "b"), Var("other", "c")};
    struct Row {
        size_t index;
        const char* name;
        const char* message;
    };
    for (const Row& r : {Row{0, "9lives",
                             "\"9lives\" is not a valid TI-92 name: 1 to 8 letters, digits or _, "
                             "starting with a letter."},
                         Row{0, "toolongname",
                             "\"toolongname\" is not a valid TI-92 name: 1 to 8 letters, digits "
                             "or _, starting with a letter."},
                         Row{0, "B", "The folder main already holds a variable b."}, Row{2, "A", "(nothing thrown)"}}) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Message([&] { RenameVariable(v, r.index, r.name); }), r.message);
    }
    EXPECT_EQ(Names(v), "main\\a main\\b other\\a");
}
