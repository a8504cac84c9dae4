// linkwise-cli ls and get, through the real termios code, against the virtual
// TI-92 served on a pseudo-terminal by its own executable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/TI92FileBuilder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <fstream>
#include <sstream>

#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "sim/VirtualTI92.h"
#include "tests/support/ProgramProcess.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/transfers/SentFiles.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

struct CliOnPty : ::testing::Test {
    QTemporaryDir dir;
    VirtualCalculatorProcess calculator{LINKWISE_SIM_PATH};
    const VirtualTI92 demo = VirtualTI92::WithDemoContent();

    ProgramOutcome Cli(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {LINKWISE_CLI_PATH, "--port", calculator.device});
        return RunProgram(arguments);
    }
    std::string Path(const char* name) { return (dir.path() + "/" + name).toStdString(); }

    // The file the save page would write from exactly these variables.
    std::string Expected(const std::vector<std::string>& names, const std::string& comment)
    {
        QTemporaryDir storeDir;
        TempStore store(storeDir.path().toStdString());
        store.Clear();
        for (const auto& n : names) {
            const SimVariable* v = demo.FindVariable(n);
            EXPECT_NE(v, nullptr) << n;
            if (v)
                store.AddItem(n, v->type, v->bytes);
        }
        RecordingTransferView view;
        const std::string path = (storeDir.path() + "/expected").toStdString();
        EXPECT_TRUE(SaveAs92g(view, store, true, path, false, false, comment));
        return ReadFile(path);
    }
};

}  // namespace

TEST_F(CliOnPty, ListShowsEveryVariable)
{
    ASSERT_FALSE(calculator.device.empty());
    ProgramOutcome ls = Cli({"ls"});
    ASSERT_EQ(ls.status, 0) << ls.err;
    std::istringstream lines(ls.out);
    std::string header;
    std::getline(lines, header);
    EXPECT_EQ(header.substr(0, 4), "Name");
    size_t rows = 0;
    for (const auto& folder : demo.folders)
        for (const auto& v : folder.variables) {
            std::string line;
            ASSERT_TRUE(std::getline(lines, line));
            std::istringstream fields(line);
            std::string name, type, size;
            fields >> name >> type >> size;
            EXPECT_EQ(name, folder.name + "\\" + v.name);
            EXPECT_EQ(size, std::to_string(v.Size()));
            ++rows;
        }
    EXPECT_EQ(rows, demo.VariableCount());

    ProgramOutcome json = Cli({"ls", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const QJsonArray list = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).array();
    EXPECT_EQ(list.size(), static_cast<qsizetype>(demo.VariableCount()));
    const QJsonObject notes{{"name", "main\\notes"}, {"folder", "main"}, {"variable", "notes"},
                            {"type", "text"},        {"typeCode", 11},   {"size", 97}};
    EXPECT_TRUE(list.contains(notes)) << json.out;
}

TEST_F(CliOnPty, GetSavesSingleAndGroupFiles)
{
    ASSERT_FALSE(calculator.device.empty());
    ProgramOutcome one = Cli({"get", "main/notes", "-o", Path("notes.92t"), "--comment", "just one"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out, "Saved main\\notes to " + Path("notes.92t") + "\n");
    EXPECT_EQ(ReadFile(Path("notes.92t")), Expected({"main\\notes"}, "just one"));

    ProgramOutcome group = Cli({"get", "hello", "math\\quad", "main/x", "-o", Path("three.92g"), "--comment", "group"});
    ASSERT_EQ(group.status, 0) << group.err;
    EXPECT_EQ(ReadFile(Path("three.92g")), Expected({"main\\hello", "main\\x", "math\\quad"}, "group"));

    ProgramOutcome missing = Cli({"get", "main/nothere", "-o", Path("none.92g")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "linkwise-cli: get: the calculator has no variable main/nothere\n");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("none.92g"))));
}

// rom-version, backup, send of a variable and of the backup: the round trip
// leaves the calculator's memory byte for byte as it was.
TEST_F(CliOnPty, RomVersionBackupAndSendBack)
{
    ASSERT_FALSE(calculator.device.empty());
    ProgramOutcome rom = Cli({"rom-version"});
    ASSERT_EQ(rom.status, 0) << rom.err;
    EXPECT_EQ(rom.out, "1.11\n");

    ProgramOutcome backup = Cli({"backup", "-o", Path("before.92b"), "--comment", "before"});
    ASSERT_EQ(backup.status, 0) << backup.err;
    EXPECT_EQ(ReadFile(Path("before.92b")).substr(82, demo.MemoryImage().size()), demo.MemoryImage());

    std::ofstream(Path("sent.92s"), std::ios::binary) << VariableFile({{"main", "sent", 0x0C, "abc"}});
    ProgramOutcome send = Cli({"send", Path("sent.92s")});
    ASSERT_EQ(send.status, 0) << send.err;
    EXPECT_EQ(send.out, "Sent sent.92s as main\\sent\n");
    EXPECT_NE(Cli({"ls"}).out.find("main\\sent"), std::string::npos);

    // A text file, and a Fargo program with its library.
    std::filesystem::create_directories(Path("libs"));
    WriteBytes(Path("libs/util.92p"), VariableFileBytes("main", "", {{"util", 0x12, Fargo1LibraryData()}}));
    WriteBytes(Path("game.92p"), VariableFileBytes("main", "", {{"game", 0x12, Fargo1ProgramData({"util"}, "")}}));
    std::ofstream(Path("notes.txt"), std::ios::binary) << "Hello\r\nworld";
    // main\notes is on the calculator already: nothing is sent without --force.
    const std::vector<std::string> job = {"send",       "--libraries",     "yes",           "--lib-dir1",
                                          Path("libs"), Path("notes.txt"), Path("game.92p")};
    ProgramOutcome refused = Cli(job);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("  main\\notes (text, 97 bytes on the calculator; text, "), std::string::npos)
        << refused.err;
    EXPECT_EQ(Cli({"ls"}).out.find("main\\game"), std::string::npos) << "nothing was sent";
    // On a terminal it asks instead; a Cancel sends nothing and ends as an interrupted job.
    std::vector<std::string> asked = job;
    asked.insert(asked.begin(), {LINKWISE_CLI_PATH, "--port", calculator.device});
    ProgramOutcome cancelled = RunProgramOnTerminal(asked, "c\n");
    EXPECT_EQ(cancelled.status, 130);
    EXPECT_NE(cancelled.err.find("Replace it? [y]es, [n]o, [a]lways yes, ne[v]er, [c]ancel: linkwise-cli: send: the "
                                 "send was cancelled; nothing was sent\n"),
              std::string::npos)
        << cancelled.err;
    EXPECT_EQ(Cli({"ls"}).out.find("main\\game"), std::string::npos) << "nothing was sent";
    // The end of input (Ctrl-D) keeps the calculator's own.
    ProgramOutcome ended = RunProgramOnTerminal(asked, "\x04");
    EXPECT_NE(ended.err.find("\"notes.txt\" was not sent: the calculator keeps its own"), std::string::npos)
        << ended.err;
    std::vector<std::string> forced = job;
    forced.push_back("--force");
    ProgramOutcome list = Cli(forced);
    ASSERT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "Sent notes.txt as notes\nSent game.92p as main\\game\nSent util.92p as main\\util (a Fargo library)\n");
    const std::string listed = Cli({"ls"}).out;
    for (const char* name : {"main\\notes", "main\\game", "main\\util"})
        EXPECT_NE(listed.find(name), std::string::npos) << name;

    ProgramOutcome unasked = Cli({"send", Path("before.92b")});
    EXPECT_EQ(unasked.status, 2);
    EXPECT_NE(unasked.err.find("add --yes to send it"), std::string::npos) << unasked.err;
    // On a terminal it asks: anything but yes sends nothing.
    const std::vector<std::string> sendBackup = {LINKWISE_CLI_PATH, "--port", calculator.device, "send",
                                                 Path("before.92b")};
    ProgramOutcome declined = RunProgramOnTerminal(sendBackup, "\n");
    EXPECT_EQ(declined.status, 2);
    EXPECT_EQ(declined.err, "Replace the calculator's whole memory with before.92b? [y/N] linkwise-cli: send: " +
                                Path("before.92b") + ": the calculator's memory was left as it is; nothing was sent\n");
    ProgramOutcome confirmed = RunProgramOnTerminal(sendBackup, "yes\n");
    EXPECT_EQ(confirmed.status, 0) << confirmed.err;
    EXPECT_EQ(confirmed.out, "Sent before.92b as the calculator's whole memory\n");
    ProgramOutcome restore = Cli({"send", "--yes", Path("before.92b")});
    ASSERT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(restore.out, "Sent before.92b as the calculator's whole memory\n");

    ASSERT_EQ(Cli({"backup", "-o", Path("after.92b"), "--comment", "before"}).status, 0);
    EXPECT_EQ(ReadFile(Path("after.92b")), ReadFile(Path("before.92b")));
}

// A Linux text file (UTF-8, LF ends, a tab) to the calculator and back as
// text: the same text, the tab as spaces up to column 8.
TEST_F(CliOnPty, TextFileThereAndBackAsText)
{
    ASSERT_FALSE(calculator.device.empty());
    const std::string source = "Line one\nGr\xC3\xBC\xC3\x9F"
                               "e \xCF\x80 \xE2\x89\xA4 \xCE\xB1\n\tTabbed\n";
    std::ofstream(Path("unicode.txt"), std::ios::binary) << source;
    ProgramOutcome send = Cli({"send", Path("unicode.txt")});
    ASSERT_EQ(send.status, 0) << send.err;
    ProgramOutcome get = Cli({"get", "main/unicode", "-o", Path("back.txt")});
    ASSERT_EQ(get.status, 0) << get.err;
    EXPECT_NE(get.out.find("Saved main\\unicode to " + Path("back.txt") + " as UTF-8 text"), std::string::npos)
        << get.out;
    std::string expected = source;
    expected.replace(expected.find('\t'), 1, 8, ' ');
    EXPECT_EQ(ReadFile(Path("back.txt")), expected);

    ProgramOutcome notText = Cli({"get", "main/x", "-o", Path("x.txt")});
    EXPECT_EQ(notText.status, 2);
    EXPECT_NE(notText.err.find("main\\x is a "), std::string::npos) << notText.err;
    EXPECT_NE(notText.err.find("only a text variable can be saved as .txt"), std::string::npos) << notText.err;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("x.txt"))));

    // No name from the file name: refused before anything is sent; --name helps.
    std::ofstream(Path("2024.txt"), std::ios::binary) << "x";
    ProgramOutcome noName = Cli({"send", Path("unicode.txt"), Path("2024.txt")});
    EXPECT_EQ(noName.status, 2);
    EXPECT_NE(noName.err.find("file name 2024.txt"), std::string::npos) << noName.err;
    EXPECT_TRUE(noName.out.empty()) << noName.out;
    ASSERT_EQ(Cli({"send", "--name", "year", Path("2024.txt")}).status, 0);
    EXPECT_NE(Cli({"ls"}).out.find("main\\year"), std::string::npos);

    // A name in the calculator's own letters is listed and fetched as shown.
    const std::string text =
        std::string("\x00\x01\x20", 3) + "\x8C\xB2 \x9C 10 \x96\xB4 \x9A\x01" + std::string("\x00\xE0", 2);
    std::ofstream(Path("pi.92t"), std::ios::binary) << VariableFile({{"main",
                                                                      "\x8C"
                                                                      "r",
                                                                      0x0B, text}});
    ASSERT_EQ(Cli({"send", Path("pi.92t")}).status, 0);
    EXPECT_NE(Cli({"ls"}).out.find("main\\\xCF\x80r "), std::string::npos);
    EXPECT_NE(Cli({"ls", "--json"}).out.find("\"variable\": \"\xCF\x80r\""), std::string::npos);
    // Its symbols arrive as their characters; a code without one is named.
    const ProgramOutcome got = Cli({"get", "main/\xCF\x80r", "-o", Path("pi.txt")});
    ASSERT_EQ(got.status, 0) << got.err;
    EXPECT_EQ(ReadFile(Path("pi.txt")),
              "\xCF\x80\xC2\xB2 \xE2\x89\xA4 10 \xE2\x84\xAF\xE2\x81\xBB\xC2\xB9 x\xCC\x85\uFFFD");
    EXPECT_EQ(got.out, "Saved main\\\xCF\x80r to " + Path("pi.txt") + " as UTF-8 text with LF line ends\n");
    EXPECT_NE(got.err.find("linkwise-cli: get: 1 TI-92 character without a Unicode equivalent became U+FFFD: code "
                           "0x01.\n"),
              std::string::npos)
        << got.err;
}

// Output that cannot be written is an error, never a success: a full disk
// behind standard output, or standard output closed at start (when no file
// the program opens may take its place).
TEST_F(CliOnPty, LostStandardOutputFailsTheCommand)
{
    const std::string text = std::string("\x00\x01\x20", 3) + "hello" + std::string("\x00\xE0", 2);
    std::ofstream(Path("t.92t"), std::ios::binary) << VariableFile({{"main", "t", 0x0B, text}});
    const std::string cli = LINKWISE_CLI_PATH;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{{"ls"},
                                                                                      {"ls", "--json"},
                                                                                      {"rom-version"},
                                                                                      {"info", Path("t.92t")},
                                                                                      {"view", Path("t.92t")}}) {
        std::vector<std::string> argv = {cli, "--port", calculator.device};
        argv.insert(argv.end(), args.begin(), args.end());
        const ProgramOutcome full = RunProgramWithOutput(argv, "/dev/full");
        EXPECT_EQ(full.status, 2) << args[0] << ": " << full.err;
        EXPECT_NE(full.err.find("writing to standard output failed: No space left on device"), std::string::npos)
            << full.err;
    }
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"get", "main\\notes", "-o", "-"}, {"screenshot", "-o", "-"}, {"ls"}}) {
        std::vector<std::string> argv = {cli, "--port", calculator.device};
        argv.insert(argv.end(), args.begin(), args.end());
        const ProgramOutcome closed = RunProgramWithOutput(argv, "");
        EXPECT_EQ(closed.status, 2) << args[0] << ": " << closed.err;
        EXPECT_NE(closed.err.find("standard output"), std::string::npos) << closed.err;
    }
}

// Names with control bytes and a '/': `ls` shows them printable, one row
// each, and `get` takes each back as `ls` or `ls --json` shows it.
TEST(CliOnPtyNames, ShownPrintableAndFetchedAsShown)
{
    QTemporaryDir dir;
    VirtualCalculatorProcess calculator{LINKWISE_SIM_PATH,
                                        {"--variable", "main\\a/b:0b:4", "--variable", "main\\\x1bx\ny:0b:3", "--rom",
                                         "\x1b]0;x\x07"}};
    auto cli = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {LINKWISE_CLI_PATH, "--port", calculator.device});
        return RunProgram(arguments);
    };
    const ProgramOutcome ls = cli({"ls"});
    ASSERT_EQ(ls.status, 0) << ls.err;
    EXPECT_EQ(ls.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(std::count(ls.out.begin(), ls.out.end(), '\n'), 1 + VirtualTI92::WithDemoContent().VariableCount() + 2);
    for (const char* shown : {"main\\a/b ", "main\\ x y "})
        EXPECT_NE(ls.out.find(shown), std::string::npos) << shown << "\n" << ls.out;

    int i = 0;
    for (const std::string name : {"main\\a/b", "main/a/b", "a/b", "main\\ x y", "main\\\x1bx\ny"}) {
        const ProgramOutcome get =
            cli({"get", name, "-o", (dir.path() + "/" + QString::number(++i) + ".92t").toStdString()});
        EXPECT_EQ(get.status, 0) << name << ": " << get.err;
        EXPECT_EQ(get.err.find('\x1b'), std::string::npos);
    }
    const ProgramOutcome rom = cli({"rom-version"});
    EXPECT_EQ(rom.out, " ]0;x \n");
}

// One damaged byte in the answer to the backup request: damage is a link
// error (2), a well-formed refusal the calculator's "no" (1).
TEST(CliOnPtyNames, DamagedAnswerIsNoRefusal)
{
    struct Case {
        const char* replace;  // byte 5: the command of the request's acknowledgement
        int status;
        std::string err;
    };
    for (const Case& c : {Case{"5:33", 2, "The backup request got a damaged answer.\n"},
                          Case{"5:92", 1, "the calculator refused: Did not got requestACK\n"}}) {
        VirtualCalculatorProcess calculator{LINKWISE_SIM_PATH, {"--replace", c.replace}};
        const ProgramOutcome rom = RunProgram({LINKWISE_CLI_PATH, "--port", calculator.device, "rom-version"});
        EXPECT_EQ(rom.status, c.status) << c.replace;
        EXPECT_TRUE(rom.err.size() >= c.err.size() &&
                    rom.err.compare(rom.err.size() - c.err.size(), c.err.size(), c.err) == 0)
            << c.replace << ": " << rom.err;
    }
}

// More variables than one file holds: refused from the listing, before the
// first request, with what can be done.
TEST(CliOnPtyNames, TooManyForOneFileRefusedBeforeTheFirstRequest)
{
    QTemporaryDir dir;
    std::vector<std::string> options, get = {LINKWISE_CLI_PATH, "--port", "", "get"};
    for (int i = 0; i < 256; ++i) {
        options.insert(options.end(), {"--variable", "big\\v" + std::to_string(i) + ":0b:1"});
        get.push_back("big\\v" + std::to_string(i));
    }
    VirtualCalculatorProcess calculator{LINKWISE_SIM_PATH, options};
    get[2] = calculator.device;
    get.insert(get.end(), {"-o", (dir.path() + "/all.92g").toStdString()});
    const ProgramOutcome refused = RunProgram(get);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, "linkwise-cli: get: nothing received: 256 variables make 257 entries, and a TI-92 file "
                           "holds at most 255; save into a folder with -o DIR, one file per variable\n");
}
