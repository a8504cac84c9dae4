#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli/CliCommands.h"
#include "files/ByteSource.h"
#include "files/GroupFile.h"
#include "tests/support/TI92FileBuilder.h"

namespace fs = std::filesystem;

namespace {

const std::string kReal = LINKWISE_REAL92_DIR;

struct CliRun {
    int status;
    std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

std::string Names(const fs::path& file)
{
    std::string names;
    for (const FileVariable& v : ReadFileVariables(file).variables)
        names += (names.empty() ? "" : " ") + v.FullName();
    return names;
}

class GroupCommandTest : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("linkwise-cli-group-" + std::to_string(getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    std::string P(const std::string& name) const { return (dir / name).string(); }
    std::string R(const std::string& name) const { return kReal + "/" + name; }
    // Files in the folder, as paths below it.
    std::vector<std::string> Written() const
    {
        std::vector<std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.is_regular_file())
                files.push_back(fs::relative(e.path(), dir).string());
        std::sort(files.begin(), files.end());
        return files;
    }
};

}  // namespace

TEST_F(GroupCommandTest, UngroupThenGroupGivesTheSameVariablesBack)
{
    const CliRun split = Cli({"ungroup", R("alltypes.92g"), "-o", P("out/split")});
    ASSERT_EQ(split.status, 0) << split.err;
    const std::vector<std::string> expected = {"out/split/group/data.92c", "out/split/group/exp.92e",
                                               "out/split/group/f.92f",    "out/split/group/fig.92a",
                                               "out/split/group/gdb.92d",  "out/split/group/list.92l",
                                               "out/split/group/mac.92x",  "out/split/group/mat.92m",
                                               "out/split/group/pic.92i",  "out/split/group/prg.92p",
                                               "out/split/group/str.92s",  "out/split/group/txt.92t"};
    EXPECT_EQ(Written(), expected);
    EXPECT_EQ(Names(P("out/split/group/pic.92i")), "group\\pic");

    std::vector<std::string> args = {"group", "-o", P("again.92g"), "--comment", "again"};
    for (const char* name : {"data.92c", "exp.92e", "f.92f", "fig.92a", "gdb.92d", "list.92l", "mac.92x", "mat.92m",
                             "pic.92i", "prg.92p", "str.92s", "txt.92t"})
        args.push_back(P(std::string("out/split/group/") + name));
    const CliRun joined = Cli(args);
    ASSERT_EQ(joined.status, 0) << joined.err;
    EXPECT_EQ(joined.out, "Wrote 12 variables into " + P("again.92g") + ".\n");
    const FileVariables before = ReadFileVariables(R("alltypes.92g")), after = ReadFileVariables(P("again.92g"));
    ASSERT_EQ(after.variables.size(), before.variables.size());
    for (size_t i = 0; i < before.variables.size(); ++i)
        EXPECT_EQ(after.variables[i].data, before.variables[i].data) << before.variables[i].name;
    EXPECT_EQ(after.comment, "again");

    // Standard output gets the same bytes as a file.
    const CliRun piped = Cli({"group", R("str.92s"), R("group.92g"), "--comment", "c", "-o", "-"});
    ASSERT_EQ(Cli({"group", R("str.92s"), R("group.92g"), "--comment", "c", "-o", P("p.92g")}).status, 0);
    EXPECT_EQ(piped.out, ReadWholeFile(P("p.92g")));
    EXPECT_EQ(Names(P("p.92g")), "group\\str group\\X group\\Y");
}

TEST_F(GroupCommandTest, RefusalsWriteNothing)
{
    std::vector<BuiltEntry> many = {BuiltEntry::Folder("big")};
    for (int i = 0; i < 252; ++i)
        many.push_back({"v" + std::to_string(i), 0x0C, "s"});
    WriteBytes(P("big.92g"), VariableFileBytes("", "", many));
    std::string damaged = ReadWholeFile(R("group.92g"));
    damaged.back() ^= 1;
    WriteBytes(P("damaged.92g"), damaged);
    WriteBytes(P("notes.txt"), "plain text, not a calculator file at all, long enough");

    struct Row {
        std::vector<std::string> args;
        int status;
        std::string error;
    };
    const std::vector<Row> rows = {
        {{"group", R("group.92g"), R("xx.92s"), "-o", P("o.92g")},
         2,
         "linkwise-cli: group: The variable group\\X is in both " + R("group.92g") + " and " + R("xx.92s") +
             "; a file holds it once. Nothing was written.\n"},
        {{"group", P("big.92g"), R("str.92s"), R("xx.92s"), "-o", P("o.92g")},
         2,
         "linkwise-cli: group: The variables make 256 entries, folders included; a TI-92 file holds at most 255. "
         "Nothing was written.\n"},
        {{"group", R("str.92s"), P("notes.txt"), "-o", P("o.92g")},
         2,
         "linkwise-cli: group: " + P("notes.txt") + " is not a TI-92 file.\n"},
        {{"ungroup", R("backup.92b"), "-o", P("o")},
         2,
         "linkwise-cli: ungroup: " + R("backup.92b") + " is a memory backup, not a file of variables.\n"},
        {{"ungroup", P("damaged.92g"), "-o", P("o")},
         2,
         "linkwise-cli: ungroup: " + P("damaged.92g") +
             ": the variable group\\Y has a wrong checksum; the file is "
             "damaged.\n"},
        {{"group", R("str.92s")}, 64, ""},
        {{"group", R("str.92s"), "-o", dir.string()}, 64, ""},
        {{"ungroup", R("group.92g"), "-o", "-"}, 64, ""},
        {{"ungroup", R("group.92g"), R("str.92s"), "-o", P("o")}, 64, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.args[0] + " " + r.args[1]);
        const CliRun run = Cli(r.args);
        EXPECT_EQ(run.status, r.status);
        if (!r.error.empty()) {
            EXPECT_EQ(run.err, r.error);
        }
        EXPECT_EQ(Written(), (std::vector<std::string>{"big.92g", "damaged.92g", "notes.txt"}));
    }
    // 252 variables and their folder fit with one more variable in another folder.
    EXPECT_EQ(Cli({"group", P("big.92g"), R("str.92s"), "-o", P("o.92g")}).status, 0);
}

TEST_F(GroupCommandTest, UngroupGivesCollidingSafeNamesASuffixAndSaysSo)
{
    // Hostile names from a calculator: "a/b" and "a_b" both make the safe name a_b.
    WriteBytes(P("hostile.92g"), VariableFileBytes("main", "", {BuiltEntry::Folder("main"),
                                                                 {"a/b", 0x0C, std::string("\x00\x02\x2D\x00\x2D", 5)},
                                                                 {"a_b", 0x0C, std::string("\x00\x02\x2E\x00\x2D", 5)}}));
    const CliRun split = Cli({"ungroup", P("hostile.92g"), "-o", P("out")});
    ASSERT_EQ(split.status, 0) << split.err;
    EXPECT_EQ(Written(), (std::vector<std::string>{"hostile.92g", "out/main/a_b.92s", "out/main/a_b~2.92s"}));
    EXPECT_EQ(Names(P("out/main/a_b.92s")), "main\\a/b");
    EXPECT_EQ(Names(P("out/main/a_b~2.92s")), "main\\a_b");
    EXPECT_NE(split.err.find("is saved as " + P("out/main/a_b~2.92s")), std::string::npos) << split.err;
}
