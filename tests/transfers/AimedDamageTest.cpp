// One damaged byte aimed at each command byte and each length-word byte the
// calculator sends, in every conversation that reads them: the run either
// gives the whole result or fails; none ends as success with less than
// everything. A failure is a refusal only when an acknowledgement's command
// became another command the calculator uses (a SKIP without its reason byte
// is no refusal); anything else is damage.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "link/Exceptions.h"
#include "sim/SimPacket.h"
#include "tests/sim/SimBytes.h"
#include "tests/transfers/SentFiles.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/BackupReceive.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"
#include "transfers/VariableSend.h"

namespace {

struct Outcome {
    bool success = false;
    bool whole = false;      // everything the calculator holds (or was sent) arrived
    std::string errorClass;  // when it failed with an error
};

struct Conversation {
    const char* name;
    std::function<Outcome(SimRig&)> run;
};

void Fill(VirtualTI92& calc)
{
    calc.AddVariable("main", "prog", 0x12, std::string(300, 'p'));
    calc.AddVariable("main", "text", kTypeText, std::string(120, 't'));
    calc.AddVariable("games", "x", 0x00, "12345");
    calc.InstallMemoryImage(PatternImage(2500));
}

std::string ClassInDialog(const SimRig& rig)
{
    if (rig.view.errorDialogs.empty())
        return {};
    const std::string& text = rig.view.errorDialogs.back();
    const auto at = text.find("Errorclass: ");
    return at == std::string::npos ? std::string() : text.substr(at + 12, text.find('\r', at) - at - 12);
}

std::vector<std::string> Rows(SimRig& rig)
{
    std::vector<std::string> rows;
    for (const ListItem& row : rig.view.listViews[ListViewId::Calculator])
        rows.push_back(row.caption + " " + row.subItems.at(1));
    return rows;
}

const std::vector<FileVariable> kSent = {{"main", "a", kTypeText, std::string(200, 'a')},
                                         {"main", "b", 0x12, std::string(70, 'b')}};

const std::vector<Conversation> kConversations = {
    {"backup",
     [](SimRig& rig) {
         Outcome o;
         o.success = ReceiveBackup(rig.link, rig.view, rig.store, false);
         o.whole = ReadWholeFile(rig.store.DataPath()) == PatternImage(2500);
         o.errorClass = ClassInDialog(rig);
         return o;
     }},
    {"listing",
     [](SimRig& rig) {
         Outcome o;
         o.success = FetchDirectoryList(rig.link, rig.view, ListViewId::Calculator);
         o.whole = Rows(rig) == std::vector<std::string>{"main\\prog 302", "main\\text 122", "games\\x 7"};
         o.errorClass = ClassInDialog(rig);
         return o;
     }},
    {"receive",
     [](SimRig& rig) {
         for (const char* name : {"main\\prog", "main\\text", "games\\x"})
             rig.Select(name, rig.calc.FindVariable(name)->type, static_cast<int>(rig.calc.FindVariable(name)->Size()));
         Outcome o;
         o.success = ReceiveAll(rig.link, rig.view, rig.store, false);
         const auto records = rig.store.ReadIndex();
         o.whole = records.size() == 3;
         for (const IndexRecord& r : records)
             o.whole = o.whole && rig.store.ReadItem(r) == rig.calc.FindVariable(r.name)->bytes;
         return o;
     }},
    {"send",
     [](SimRig& rig) {
         const std::string path = rig.folder.filePath("sent.92g").toStdString();
         std::ofstream(path, std::ios::binary) << VariableFile(kSent);
         rig.calc.Clear();
         Outcome o;
         try {
             o.success = Send92g(rig.link, rig.view, path);
         } catch (const std::exception& e) {
             o.errorClass = ErrorClassName(e);
         }
         o.whole = true;
         for (const FileVariable& v : kSent) {
             const SimVariable* held = rig.calc.FindVariable(v.folder + "\\" + v.name);
             o.whole = o.whole && held && held->Data() == v.data;
         }
         return o;
     }},
};

struct Aim {
    long position;
    bool command;  // a command byte, else a length-word byte
    uint8_t packetCommand;
    uint8_t original;
};

// Where the command byte and the length word of every packet in the
// calculator's bytes stand.
std::vector<Aim> AimsIn(const std::string& sent)
{
    std::vector<Aim> aims;
    SimPacketReader reader(kIdFromCalculator);
    for (size_t i = 0; i < sent.size(); ++i) {
        const bool starts = !reader.InPacket() && static_cast<uint8_t>(sent[i]) == kIdFromCalculator;
        reader.Feed(static_cast<uint8_t>(sent[i]));
        if (!starts || i + 3 >= sent.size())
            continue;
        const auto cmd = static_cast<uint8_t>(sent[i + 1]);
        aims.push_back({static_cast<long>(i + 1), true, cmd, cmd});
        for (size_t k = 2; k <= 3; ++k)
            aims.push_back({static_cast<long>(i + k), false, cmd, static_cast<uint8_t>(sent[i + k])});
    }
    return aims;
}

std::vector<uint8_t> ValuesFor(const Aim& aim)
{
    std::vector<uint8_t> values;
    const std::vector<uint8_t> candidates = aim.command
                                                ? std::vector<uint8_t>{Cmd::EOT, SimCmd::CNT, 0x33, Cmd::SKIP}
                                                : std::vector<uint8_t>{0x00, static_cast<uint8_t>(aim.original ^ 0x01)};
    for (uint8_t v : candidates)
        if (v != aim.original)
            values.push_back(v);
    return values;
}

class AimedDamage : public ::testing::TestWithParam<Conversation> {};

}  // namespace

TEST_P(AimedDamage, NoSingleByteMakesLessLookWhole)
{
    const Conversation& c = GetParam();
    std::string sent;
    {
        SimRig clean;
        Fill(clean.calc);
        const Outcome o = c.run(clean);
        ASSERT_TRUE(o.success && o.whole) << c.name;
        sent = clean.calculator.SentBytes();
    }
    const std::vector<Aim> aims = AimsIn(sent);
    ASSERT_GT(aims.size(), 12u);
    int failed = 0;
    for (const Aim& aim : aims) {
        for (uint8_t value : ValuesFor(aim)) {
            SCOPED_TRACE(std::string(c.name) + ": byte " + std::to_string(aim.position) + " of a packet " +
                         ToHex(std::string(1, static_cast<char>(aim.packetCommand))) + " sent as " +
                         ToHex(std::string(1, static_cast<char>(value))));
            SimRig rig;
            Fill(rig.calc);
            rig.calculator.faults.replaceBytes[aim.position] = value;
            const Outcome o = c.run(rig);
            if (o.success) {
                EXPECT_TRUE(o.whole);
                continue;
            }
            ++failed;
            if (o.errorClass.empty())
                continue;
            const bool refusal = aim.command && (aim.packetCommand == Cmd::ACK || aim.packetCommand == Cmd::CTS) &&
                                 value != 0x33 && value != Cmd::SKIP;
            EXPECT_EQ(o.errorClass == "ECalculatorError", refusal) << o.errorClass;
        }
    }
    EXPECT_GT(failed, 10);
}

INSTANTIATE_TEST_SUITE_P(EveryConversation, AimedDamage, ::testing::ValuesIn(kConversations),
                         [](const auto& info) { return std::string(info.param.name); });
