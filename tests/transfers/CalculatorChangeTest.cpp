// Variables and folders changed by typing on the virtual TI-92's home
// screen: the checks before any key, the keys, the listing that confirms,
// the calculator's refusals, an abort and a link that fails.
#include <gtest/gtest.h>

#include "link/CalculatorKeys.h"
#include "link/PacketCommands.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/CalculatorChange.h"

namespace {

// Every folder and variable, * marking a locked one.
std::string Contents(const VirtualTI92& calc)
{
    std::string all;
    for (const auto& f : calc.folders) {
        all += (all.empty() ? "[" : " [") + f.name + "]";
        for (const auto& v : f.variables)
            all += " " + v.name + (v.locked ? "*" : "");
    }
    return all;
}

const std::string kStart = "[main] x y* [games] board [empty]";

struct ChangeRig {
    ChangeRig()
    {
        rig.calc.AddVariable("main", "x", 0, "1");
        rig.calc.AddVariable("main", "y", 0, "2").locked = true;
        rig.calc.AddVariable("games", "board", 0, "3");
        rig.calc.Folder("empty");
    }
    ChangeResult Apply(ChangeKind kind, const std::string& name, const std::string& target = {})
    {
        return ApplyChange(rig.link, rig.view, {kind, name, target});
    }
    // Runs `action` once, when the calculator receives its `n`th key.
    void AtKey(size_t n, std::function<void()> action)
    {
        rig.calculator.onPacket = [this, n, action](const SimPacket& p) {
            if (p.cmd == Cmd::KEY && ++keys == n)
                action();
        };
    }
    // No text on the entry line and no error box: the calculator is ready.
    void ExpectHomeLineEmpty()
    {
        EXPECT_EQ(rig.calc.home.entry, "");
        EXPECT_EQ(rig.calc.home.errorBox, "");
        EXPECT_EQ(rig.calc.home.otherScreen, "");
    }

    SimRig rig;
    size_t keys = 0;
};

const std::vector<uint16_t> kClearing = {CalcKey::On,   CalcKey::Esc,  CalcKey::Esc,   CalcKey::Esc,  CalcKey::Quit,
                                         CalcKey::Quit, CalcKey::Home, CalcKey::Clear, CalcKey::Clear};

struct ChangeCase {
    ChangeKind kind;
    const char* name;
    const char* target;
    ChangeOutcome outcome;
    const char* message;
    std::string contents;
};

class Change : public ::testing::TestWithParam<ChangeCase> {};

}  // namespace

TEST_P(Change, IsTypedAndConfirmedOrRefusedBeforeAnyKey)
{
    ChangeRig r;
    const ChangeCase& c = GetParam();
    const ChangeResult result = r.Apply(c.kind, c.name, c.target);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(Contents(r.rig.calc), c.contents);
    if (c.outcome == ChangeOutcome::Refused) {
        EXPECT_TRUE(r.rig.calc.keysPressed.empty());
        EXPECT_EQ(result.typed, "");
    } else {
        std::vector<uint16_t> keys = kClearing;
        keys.insert(keys.end(), result.typed.begin(), result.typed.end());
        keys.push_back(CalcKey::Enter);
        keys.push_back(CalcKey::Clear);
        EXPECT_EQ(r.rig.calc.keysPressed, keys);
    }
    r.ExpectHomeLineEmpty();
    EXPECT_TRUE(r.rig.view.errorDialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Change,
    ::testing::Values(
        ChangeCase{ChangeKind::Delete, "main\\x", "", ChangeOutcome::Done, "main\\x deleted",
                   "[main] y* [games] board [empty]"},
        ChangeCase{ChangeKind::Rename, "main\\x", "main\\z", ChangeOutcome::Done, "main\\x renamed to main\\z",
                   "[main] y* z [games] board [empty]"},
        ChangeCase{ChangeKind::Rename, "main\\x", "games\\x2", ChangeOutcome::Done, "main\\x renamed to games\\x2",
                   "[main] y* [games] board x2 [empty]"},
        ChangeCase{ChangeKind::Copy, "main\\y", "empty\\y", ChangeOutcome::Done, "main\\y copied to empty\\y",
                   "[main] x y* [games] board [empty] y"},
        ChangeCase{ChangeKind::Move, "main\\x", "games", ChangeOutcome::Done, "main\\x moved into the folder games",
                   "[main] y* [games] board x [empty]"},
        ChangeCase{ChangeKind::NewFolder, "work", "", ChangeOutcome::Done, "folder work made",
                   kStart + std::string(" [work]")},
        ChangeCase{ChangeKind::DeleteFolder, "empty", "", ChangeOutcome::Done, "folder empty deleted",
                   "[main] x y* [games] board"},
        ChangeCase{ChangeKind::Lock, "games\\board", "", ChangeOutcome::Done, "games\\board locked",
                   "[main] x y* [games] board* [empty]"},
        ChangeCase{ChangeKind::Unlock, "main\\y", "", ChangeOutcome::Done, "main\\y unlocked",
                   "[main] x y [games] board [empty]"},
        // Refused before any key is sent.
        ChangeCase{ChangeKind::Delete, "main\\q", "", ChangeOutcome::Refused,
                   "could not delete main\\q: main\\q is not on the calculator", kStart},
        ChangeCase{ChangeKind::Delete, "main\\y", "", ChangeOutcome::Refused,
                   "could not delete main\\y: main\\y is locked", kStart},
        ChangeCase{ChangeKind::Rename, "main\\y", "main\\z", ChangeOutcome::Refused,
                   "could not rename main\\y to main\\z: main\\y is locked", kStart},
        ChangeCase{ChangeKind::Rename, "main\\x", "main\\y", ChangeOutcome::Refused,
                   "could not rename main\\x to main\\y: main\\y exists already", kStart},
        ChangeCase{ChangeKind::Rename, "main\\x", "main\\9lives", ChangeOutcome::Refused,
                   "could not rename main\\x to main\\9lives: \"main\\9lives\" is not a valid TI-92 name: 1 to 8 "
                   "letters, digits or _, starting with a letter",
                   kStart},
        ChangeCase{ChangeKind::Copy, "main\\x", "nofolder\\x", ChangeOutcome::Refused,
                   "could not copy main\\x to nofolder\\x: the folder nofolder does not exist", kStart},
        ChangeCase{ChangeKind::Move, "main\\y", "games", ChangeOutcome::Refused,
                   "could not move main\\y into the folder games: main\\y is locked", kStart},
        ChangeCase{ChangeKind::Move, "main\\x", "main", ChangeOutcome::Refused,
                   "could not move main\\x into the folder main: main\\x is in the folder main already", kStart},
        ChangeCase{ChangeKind::NewFolder, "games", "", ChangeOutcome::Refused,
                   "could not make the folder games: the folder games exists already", kStart},
        ChangeCase{ChangeKind::NewFolder, "new folder", "", ChangeOutcome::Refused,
                   "could not make the folder new folder: \"new folder\" is not a valid TI-92 name: 1 to 8 letters, "
                   "digits or _, starting with a letter",
                   kStart},
        ChangeCase{ChangeKind::DeleteFolder, "games", "", ChangeOutcome::Refused,
                   "could not delete the folder games: the folder games is not empty", kStart},
        ChangeCase{ChangeKind::DeleteFolder, "main", "", ChangeOutcome::Refused,
                   "could not delete the folder main: the folder main cannot be deleted", kStart},
        ChangeCase{ChangeKind::DeleteFolder, "gone", "", ChangeOutcome::Refused,
                   "could not delete the folder gone: the folder gone is not on the calculator", kStart},
        ChangeCase{ChangeKind::Lock, "main\\y", "", ChangeOutcome::Refused,
                   "could not lock main\\y: main\\y is locked already", kStart}));

TEST(CalculatorChange, CommandsTypedAsTheCalculatorsCommandListWritesThem)
{
    EXPECT_EQ(CommandText({ChangeKind::Delete, "main\\x", ""}), "DelVar main\\x");
    EXPECT_EQ(CommandText({ChangeKind::Rename, "main\\x", "math\\y"}), "Rename main\\x,math\\y");
    EXPECT_EQ(CommandText({ChangeKind::Copy, "main\\x", "math\\y"}), "CopyVar main\\x,math\\y");
    EXPECT_EQ(CommandText({ChangeKind::Move, "main\\x", "math"}), "MoveVar x,main,math");
    EXPECT_EQ(CommandText({ChangeKind::NewFolder, "work", ""}), "NewFold work");
    EXPECT_EQ(CommandText({ChangeKind::DeleteFolder, "work", ""}), "DelFold work");
    EXPECT_EQ(CommandText({ChangeKind::Lock, "main\\x", ""}), "Lock main\\x");
    EXPECT_EQ(CommandText({ChangeKind::Unlock, "main\\x", ""}), "Unlock main\\x");
}

TEST(CalculatorChange, LeavesAnotherScreenAnErrorBoxAndTextOnTheLineFirst)
{
    ChangeRig r;
    r.rig.calc.home.entry = "1+";
    r.rig.calc.home.errorBox = "Syntax";
    r.rig.calc.home.otherScreen = "Graph";
    EXPECT_EQ(r.Apply(ChangeKind::Delete, "main\\x").outcome, ChangeOutcome::Done);
    EXPECT_EQ(Contents(r.rig.calc), "[main] y* [games] board [empty]");
    EXPECT_EQ(r.rig.calc.home.history.back().input, "DelVar main\\x");
    r.ExpectHomeLineEmpty();
}

// The checks passed, but the calculator changed meanwhile: its error box is
// closed, the line emptied, and the likely cause named.
TEST(CalculatorChange, ACommandTheCalculatorRefusesIsReportedWithItsLikelyCause)
{
    struct Case {
        CalculatorChange change;
        std::function<void(VirtualTI92&)> meanwhile;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{ChangeKind::Delete, "main\\x", ""},
         [](VirtualTI92& calc) { calc.Folder("main").variables[0].locked = true; },
         "could not delete main\\x: main\\x is locked"},
        {{ChangeKind::DeleteFolder, "empty", ""},
         [](VirtualTI92& calc) { calc.AddVariable("empty", "late", 0, "4"); },
         "could not delete the folder empty: the folder empty is not empty"},
        {{ChangeKind::Rename, "main\\x", "main\\z"},
         [](VirtualTI92& calc) { calc.AddVariable("main", "z", 0, "5"); },
         "could not rename main\\x to main\\z: the calculator did not accept the command"},
    };
    for (const Case& c : cases) {
        ChangeRig r;
        r.AtKey(kClearing.size() + 1, [&] { c.meanwhile(r.rig.calc); });
        const ChangeResult result = ApplyChange(r.rig.link, r.rig.view, c.change);
        EXPECT_EQ(result.outcome, ChangeOutcome::NotAccepted) << c.message;
        EXPECT_EQ(result.message, c.message);
        EXPECT_EQ(r.rig.calc.keysPressed.back(), CalcKey::Clear);
        EXPECT_EQ(r.rig.calc.keysPressed.end()[-2], CalcKey::Esc);
        r.ExpectHomeLineEmpty();
    }
}

TEST(CalculatorChange, AnAbortStopsTheTypingAndEmptiesTheLine)
{
    ChangeRig r;
    r.AtKey(kClearing.size() + 3, [&] { r.rig.link.Aborted = 1; });
    const ChangeResult result = r.Apply(ChangeKind::Delete, "main\\x");
    EXPECT_EQ(result.outcome, ChangeOutcome::Aborted);
    EXPECT_EQ(result.message, "aborted: could not delete main\\x");
    // Three letters reached the calculator, then CLEAR; no ENTER.
    std::vector<uint16_t> keys = kClearing;
    keys.insert(keys.end(), {'D', 'e', 'l', CalcKey::Clear});
    EXPECT_EQ(r.rig.calc.keysPressed, keys);
    EXPECT_EQ(Contents(r.rig.calc), kStart);
    r.ExpectHomeLineEmpty();
}

TEST(CalculatorChange, ASilentCalculatorIsALinkErrorNamingTheCommand)
{
    ChangeRig r;
    r.AtKey(4, [&] { r.rig.calculator.faults.silent = true; });
    const ChangeResult result = r.Apply(ChangeKind::NewFolder, "work");
    EXPECT_EQ(result.outcome, ChangeOutcome::LinkError);
    EXPECT_EQ(result.message.rfind("could not make the folder work: ", 0), 0u) << result.message;
    ASSERT_EQ(r.rig.view.errorDialogs.size(), 1u);
    EXPECT_NE(r.rig.view.errorDialogs[0].find("typing \"NewFold work\""), std::string::npos);
    EXPECT_EQ(r.rig.calc.FindFolder("work"), nullptr);
}

TEST(CalculatorChange, TheListingCarriesFoldersAndTheLockedAttribute)
{
    ChangeRig r;
    const auto entries = ReadDirectoryEntries(r.rig.link, r.rig.view);
    ASSERT_TRUE(entries);
    std::string seen;
    for (const DirectoryEntry& e : *entries)
        seen += (e.IsFolder() ? "[" + e.name + "]" : " " + e.FullName() + (e.locked ? "*" : ""));
    EXPECT_EQ(seen, "[main] main\\x main\\y*[games] games\\board[empty]");
}
