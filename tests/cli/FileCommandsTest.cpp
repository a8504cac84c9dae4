#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/cli/CliCommands.h"
#include "tests/support/TI92FileBuilder.h"

namespace {
struct CliRun {
    int status;
    std::string out, err;
};

CliRun Cli(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    int status = RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

class FileCommandsTest : public ::testing::Test {
protected:
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("linkwise-cli-files-" + std::to_string(getpid()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::string P(const std::string& name) { return (dir / name).string(); }
    void Write(const std::string& name, const std::string& bytes) { std::ofstream(P(name), std::ios::binary) << bytes; }
};
}  // namespace

TEST_F(FileCommandsTest, ConvertThenDescribe)
{
    Write("notes.txt", "Hi\r\nthere");
    CliRun c = Cli({"convert", P("notes.txt"), "-o", P("notes.92t"), "--comment", "From a script"});
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(c.out, "Converted " + P("notes.txt") + " to " + P("notes.92t") + " as the text variable notes\n");
    EXPECT_EQ(std::filesystem::file_size(P("notes.92t")), 82u + 4 + 16 + 2);

    CliRun i = Cli({"info", P("notes.92t"), "--json"});
    EXPECT_EQ(i.status, 0) << i.err;
    // The documented schema, every field present and nothing more.
    const QJsonArray files = QJsonDocument::fromJson(QByteArray::fromStdString(i.out)).array();
    ASSERT_EQ(files.size(), 1) << i.out;
    const QJsonObject file = files[0].toObject();
    EXPECT_EQ(file.keys(), (QStringList{"comment", "description", "entries", "file", "kind", "kindCode", "kindText",
                                        "libraries", "size", "sizeText", "variables"}));
    EXPECT_EQ(file["kind"], "single");
    EXPECT_EQ(file["kindCode"], 111);
    EXPECT_EQ(file["kindText"], "Single (text)");
    EXPECT_EQ(file["comment"], "From a script");
    EXPECT_EQ(file["size"], 104);
    EXPECT_EQ(file["variables"], (QJsonArray{QJsonObject{{"name", "\\notes"}, {"type", "text"}}}));
    // The same object when the file is listed in its folder.
    const QJsonArray listed =
        QJsonDocument::fromJson(QByteArray::fromStdString(Cli({"info", dir.string(), "--json"}).out)).array();
    ASSERT_EQ(listed.size(), 1);
    QJsonObject inFolder = listed[0].toObject();
    EXPECT_EQ(inFolder.take("file"), QString::fromStdString(P("notes.92t")));
    QJsonObject alone = file;
    alone.remove("file");
    EXPECT_EQ(inFolder, alone);

    CliRun t = Cli({"info", P("notes.92t"), P("notes.txt")});
    EXPECT_EQ(t.status, 0);
    EXPECT_NE(t.out.find("  Type of file: Single (text)\n"), std::string::npos) << t.out;
    EXPECT_NE(t.out.find("  Type of file: Textfile\n  Comment: Hi  there\n"), std::string::npos) << t.out;
}

TEST_F(FileCommandsTest, BadArgumentsAndMissingFiles)
{
    EXPECT_EQ(Cli({"convert", "-o", P("a.92t")}).status, 64);
    EXPECT_EQ(Cli({"info"}).status, 64);
    CliRun missing = Cli({"convert", P("none.txt"), "-o", P("none.92t")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("An error occured while converting none.txt to none.92t."), std::string::npos)
        << missing.err;
    // Each says what is wrong with which file or folder, before any work.
    Write("long.txt", std::string(70000, 'x'));
    CliRun tooLong = Cli({"convert", P("long.txt"), "-o", P("long.92t")});
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.err.find("The text of long.txt is too long for a TI-92 text variable"), std::string::npos)
        << tooLong.err;
    Write("tmp-file", "");
    const std::string tmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", P("tmp-file").c_str(), 1);
    CliRun badTemp = Cli({"convert", P("long.txt"), "-o", P("long.92t")});
    tmp.empty() ? unsetenv("TMPDIR") : setenv("TMPDIR", tmp.c_str(), 1);
    EXPECT_EQ(badTemp.status, 2);
    EXPECT_EQ(badTemp.err, "linkwise-cli: convert: The temporary folder " + P("tmp-file") +
                               " is not a folder; set TMPDIR to a folder you can write to.\n");

    Write("ok.txt", "x");
    CliRun partly = Cli({"info", P("none.92t"), P("ok.txt")});
    EXPECT_EQ(partly.status, 2);
    EXPECT_NE(partly.out.find("Textfile"), std::string::npos);
    EXPECT_EQ(partly.err.rfind("linkwise-cli: info: " + P("none.92t") + ": ", 0), 0u) << partly.err;
    Write("plain.bin", "not a TI-92 file");
    CliRun alone = Cli({"info", P("plain.bin"), "--json"});
    EXPECT_EQ(alone.status, 2);
    EXPECT_EQ(alone.out, "") << "no list when the only file fails";
}

TEST_F(FileCommandsTest, FolderListAndViewer)
{
    Write("notes.txt", "Hi\r\nthere");
    ASSERT_EQ(Cli({"convert", P("notes.txt"), "-o", P("b.92t"), "--comment", "text"}).status, 0);
    Write("a.92s", "**TI92**");
    CliRun l = Cli({"info", dir.string(), "--sort", "size"});
    EXPECT_EQ(l.status, 0) << l.err;
    EXPECT_EQ(l.out, "Filename  Comment      Type           Size\n"
                     "a.92s     (corrupted)  -              8 b\n"
                     "b.92t     text         Single (text)  104 b\n");
    CliRun j = Cli({"info", dir.string(), "--json", "--sort=name"});
    const QJsonArray sorted = QJsonDocument::fromJson(QByteArray::fromStdString(j.out)).array();
    ASSERT_EQ(sorted.size(), 2) << j.out;
    EXPECT_EQ(sorted[0]["file"], QString::fromStdString(P("a.92s")));
    EXPECT_EQ(sorted[0]["kind"], "none");
    EXPECT_EQ(Cli({"info", dir.string(), "--sort", "date"}).status, 64);

    CliRun v = Cli({"view", P("b.92t")});
    EXPECT_EQ(v.status, 0) << v.err;
    EXPECT_EQ(v.out, "Hi\nthere\n");
    Write("odd.92t", VariableFileBytes("main", "", {{"odd", 0x0B, TextVariableData({"\xBD\x01x\x7F"})}}));
    v = Cli({"view", P("odd.92t")});
    EXPECT_EQ(v.out, "\u222B\uFFFDx\uFFFD\n");
    EXPECT_EQ(v.err, "linkwise-cli: view: 2 TI-92 characters without a Unicode equivalent became U+FFFD: codes "
                     "0x01, 0x7F.\n");
    CliRun bad = Cli({"view", P("a.92s")});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "linkwise-cli: view: " + P("a.92s") + ": The file is not a TI-92 file.\n");
}

TEST_F(FileCommandsTest, LinuxTextWithItsLettersAndCheckedNames)
{
    Write("u.txt", "Line one\nwith \xC3\xBCmlaut and \xCF\x80\n\tTabbed\n");
    CliRun c = Cli({"convert", P("u.txt"), "-o", P("u.92t"), "--name", "Notes", "--folder", "work", "--comment",
                    "Gr\xC3\xBC\xC3\x9F"
                    "e \xCF\x80 and a comment well over forty bytes long"});
    EXPECT_EQ(c.status, 0) << c.err;
    EXPECT_EQ(c.err, "linkwise-cli: convert: the comment is cut to 34 characters\n");
    EXPECT_EQ(Cli({"view", P("u.92t")}).out, "Line one\nwith \xC3\xBCmlaut and \xCF\x80\n        Tabbed\n\n");
    Write("t.txt", "ab\tc\n\td");
    ASSERT_EQ(Cli({"convert", P("t.txt"), "-o", P("t.92t"), "--tab-size", "4", "--comment", "c"}).status, 0);
    EXPECT_EQ(Cli({"view", P("t.92t")}).out, "ab  c\n    d\n");
    for (const char* bad : {"0", "33", "x", "-1"})
        EXPECT_EQ(Cli({"convert", P("t.txt"), "-o", P("t.92t"), "--tab-size", bad}).status, 64) << bad;
    CliRun i = Cli({"info", P("u.92t"), "--json"});
    EXPECT_NE(i.out.find("\"comment\": \"Gr\xC3\xBC\xC3\x9F"
                         "e \xCF\x80 and a comment well over fo\""),
              std::string::npos)
        << i.out;
    EXPECT_NE(i.out.find("\"name\": \"work\\\\notes\""), std::string::npos) << i.out;

    for (const char* bad : {"9x", "toolongname", "a-b"}) {
        CliRun refused = Cli({"convert", P("u.txt"), "-o", P("bad.92t"), "--name", bad});
        EXPECT_EQ(refused.status, 64) << bad;
        EXPECT_NE(refused.err.find("is not a valid TI-92 name"), std::string::npos) << refused.err;
    }
    Write("2024.txt", "x");
    CliRun noName = Cli({"convert", P("2024.txt"), "-o", P("bad.92t")});
    EXPECT_EQ(noName.status, 2);
    EXPECT_NE(noName.err.find("No TI-92 variable name can be made from the file name 2024.txt"), std::string::npos)
        << noName.err;
    EXPECT_FALSE(std::filesystem::exists(P("bad.92t")));
}

// Without -o the file goes beside the text, and only a file the user named
// is replaced.
TEST_F(FileCommandsTest, ConvertWithoutOutputWritesBesideTheTextAndReplacesOnlyANamedFile)
{
    Write("memo.txt", "Hi");
    Write("kept.txt", "Hi");
    Write("kept.92t", "the user's own");
    Write("bad.txt", std::string(70000, 'x'));
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out, err;
    };
    for (const Case& c : std::vector<Case>{
             {{"convert", P("memo.txt")},
              0,
              "Converted " + P("memo.txt") + " to " + P("memo.92t") + " as the text variable memo\n",
              ""},
             {{"convert", P("kept.txt")},
              2,
              "",
              "linkwise-cli: convert: " + P("kept.92t") +
                  ": the file exists already; nothing was converted (name it with -o to replace it)\n"},
             {{"convert", "-q", P("bad.txt")},
              2,
              "",
              "linkwise-cli: convert: An error occured while converting bad.txt to bad.92t. The text of bad.txt"},
             {{"convert", "-q", P("memo.txt"), "-o", P("kept.92t")}, 0, "", ""},
         }) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err.substr(0, c.err.size()), c.err);
    }
    EXPECT_EQ(Cli({"view", P("memo.92t")}).out, "Hi\n");
    EXPECT_EQ(Cli({"view", P("kept.92t")}).out, "Hi\n") << "named with -o: replaced";
}

// A file with the signature and no variable (an empty group, or one of
// folders only) is nothing to send and nothing to describe as a group.
TEST_F(FileCommandsTest, AFileWithoutVariablesIsRefused)
{
    Write("empty.92g", VariableFileBytes("main", "", {}));
    Write("folders.92g", VariableFileBytes("main", "", {BuiltEntry::Folder("games")}));
    for (const char* name : {"empty.92g", "folders.92g"}) {
        SCOPED_TRACE(name);
        const CliRun info = Cli({"info", P(name)});
        EXPECT_EQ(info.status, 2);
        EXPECT_EQ(info.err, "linkwise-cli: info: " + P(name) + ": a TI-92 file that holds no variables\n");
        // Refused before the cable is opened: there is none here.
        const CliRun send = Cli({"--port", P("no-such-device"), "send", P(name)});
        EXPECT_EQ(send.status, 2);
        EXPECT_EQ(send.err,
                  "linkwise-cli: send: " + P(name) + ": The file " + name + " holds no variables. Nothing was sent.\n");
    }
}

// A file name with terminal escapes never reaches the terminal raw.
TEST_F(FileCommandsTest, FileNamesAreShownPrintable)
{
    const std::string hostile = "\x1b]0;owned\x07\x1b[2J";
    Write("a.txt", "Hi");
    const CliRun convert = Cli({"convert", P("a.txt"), "-o", P(hostile + ".92t")});
    ASSERT_EQ(convert.status, 0) << convert.err;
    const CliRun info = Cli({"info", P(hostile + ".92t"), P(hostile + "missing")});
    for (const CliRun& r : {convert, info}) {
        EXPECT_EQ((r.out + r.err).find('\x1b'), std::string::npos) << r.out << r.err;
        EXPECT_EQ((r.out + r.err).find('\x07'), std::string::npos);
    }
    EXPECT_NE(info.out.find(" ]0;owned  [2J.92t"), std::string::npos) << info.out;
}

// TMPDIR= in the shell leaves the system's temporary folder in use.
TEST_F(FileCommandsTest, AnEmptyTmpdirMeansTheDefault)
{
    Write("a.txt", "Hi");
    const char* set = std::getenv("TMPDIR");
    const std::string saved = set ? set : "";
    setenv("TMPDIR", "", 1);
    const CliRun convert = Cli({"convert", P("a.txt"), "-o", P("a.92t")});
    set ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    EXPECT_EQ(convert.status, 0) << convert.err;
}
