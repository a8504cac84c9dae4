// The virtual TI-92's home screen: keys from the remote keyboard edit the
// entry line, ENTER answers it, and the screen shows it.
#include <gtest/gtest.h>

#include "link/CalculatorKeys.h"
#include "sim/HomeArithmetic.h"
#include "sim/VirtualTI92.h"

TEST(HomeScreen, KeysEditTheEntryAndEnterAnswersIt)
{
    VirtualTI92 calc = VirtualTI92::WithDemoContent();
    const size_t before = calc.home.history.size();
    const std::string demoScreen = calc.screen;
    for (char c : std::string("12*(3+44"))
        calc.PressKey(static_cast<uint8_t>(c));
    calc.PressKey(CalcKey::Backspace);
    calc.PressKey(')');
    EXPECT_EQ(calc.home.entry, "12*(3+4)");
    EXPECT_NE(calc.screen, demoScreen) << "the entry line shows the keys";
    calc.PressKey(CalcKey::Enter);
    ASSERT_EQ(calc.home.history.size(), before + 1);
    EXPECT_EQ(calc.home.history.back().answer, "84");
    EXPECT_TRUE(calc.home.entry.empty());

    calc.PressKey('q');
    calc.PressKey(CalcKey::Clear);
    calc.PressKey(CalcKey::F1);  // keys the home screen has no use for change nothing
    EXPECT_TRUE(calc.home.entry.empty());
    EXPECT_EQ(calc.keysPressed.size(), 14u);
}

TEST(HomeScreen, Answers)
{
    EXPECT_EQ(EvaluateEntry("2^10"), "1024");
    EXPECT_EQ(EvaluateEntry(" (1+2) / 4"), "0.75");
    EXPECT_EQ(EvaluateEntry("-3*-2-1"), "5");
    EXPECT_EQ(EvaluateEntry("x+1"), std::nullopt);
    EXPECT_EQ(EvaluateEntry("1/0"), std::nullopt);
    EXPECT_EQ(EvaluateEntry("(1+2"), std::nullopt);
}

namespace {

void Type(VirtualTI92& calc, const std::string& text)
{
    for (char c : text)
        calc.PressKey(static_cast<uint8_t>(c));
}

// Every variable as folder\name, with * for a locked one, and every folder.
std::string Contents(const VirtualTI92& calc)
{
    std::string all;
    for (const auto& f : calc.folders) {
        all += (all.empty() ? "[" : " [") + f.name + "]";
        for (const auto& v : f.variables)
            all += " " + f.name + "\\" + v.name + (v.locked ? "*" : "");
    }
    return all;
}

struct CommandCase {
    const char* input;
    const char* error;  // the error box; empty when the command is done
    const char* contents;
};

class HomeCommand : public ::testing::TestWithParam<CommandCase> {};

}  // namespace

TEST_P(HomeCommand, ChangesTheMemoryOrOpensTheErrorBox)
{
    VirtualTI92 calc;
    calc.AddVariable("main", "x", 0, "1");
    calc.AddVariable("main", "y", 0, "2");
    calc.AddVariable("games", "board", 0, "3");
    calc.Folder("empty");
    for (auto& v : calc.Folder("main").variables)
        v.locked = v.name == "y";

    Type(calc, GetParam().input);
    calc.PressKey(CalcKey::Enter);
    EXPECT_EQ(calc.home.errorBox, GetParam().error);
    EXPECT_EQ(Contents(calc), GetParam().contents);
    // A failed command stays on the entry line; a done one goes to the history.
    EXPECT_EQ(calc.home.entry, calc.home.errorBox.empty() ? "" : GetParam().input);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HomeCommand,
    ::testing::Values(
        CommandCase{"delvar X", "", "[main] main\\y* [games] games\\board [empty]"},
        CommandCase{"DelVar main\\y", "Variable is locked or protected",
                    "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"DelVar main\\z", "Undefined variable", "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"Rename main\\x,main\\y", "Variable is locked or protected",
                    "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"Rename main\\y,main\\z", "Variable is locked or protected",
                    "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"Rename main\\x,main\\9a", "Invalid variable name",
                    "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"CopyVar main\\y,games\\y2", "", "[main] main\\x main\\y* [games] games\\board games\\y2 [empty]"},
        CommandCase{"CopyVar main\\x,nofold\\x", "Folder", "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"MoveVar y,main,empty", "Variable is locked or protected",
                    "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"NewFold games", "Duplicate variable name", "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"DelFold games", "Folder is not empty", "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"DelFold main", "Folder", "[main] main\\x main\\y* [games] games\\board [empty]"},
        CommandCase{"Lock main\\x,games\\board", "", "[main] main\\x* main\\y* [games] games\\board* [empty]"}));

TEST(HomeScreen, AnErrorBoxLosesEveryKeyButEscAndEnter)
{
    VirtualTI92 calc;
    Type(calc, "DelVar nothere");
    calc.PressKey(CalcKey::Enter);
    ASSERT_EQ(calc.home.errorBox, "Undefined variable");
    const std::string withBox = calc.screen;
    for (uint16_t key : {uint16_t('a'), CalcKey::Clear, CalcKey::Quit, CalcKey::Home, CalcKey::On})
        calc.PressKey(key);
    EXPECT_EQ(calc.home.errorBox, "Undefined variable");
    EXPECT_EQ(calc.home.entry, "DelVar nothere");
    EXPECT_EQ(calc.screen, withBox);
    calc.PressKey(CalcKey::Esc);
    EXPECT_EQ(calc.home.errorBox, "");
    EXPECT_NE(calc.screen, withBox);

    calc.PressKey(CalcKey::Enter);  // the same entry again: ENTER closes this box
    ASSERT_FALSE(calc.home.errorBox.empty());
    calc.PressKey(CalcKey::Enter);
    EXPECT_EQ(calc.home.errorBox, "");
}

TEST(HomeScreen, OnlyQuitOrHomeLeaveAnotherScreen)
{
    for (uint16_t leave : {CalcKey::Quit, CalcKey::Home}) {
        VirtualTI92 calc;
        calc.home.otherScreen = "Graph";
        for (uint16_t key : {CalcKey::Esc, CalcKey::On, CalcKey::Clear, uint16_t('a'), CalcKey::Enter})
            calc.PressKey(key);
        EXPECT_EQ(calc.home.otherScreen, "Graph");
        calc.PressKey(leave);
        EXPECT_EQ(calc.home.otherScreen, "");
        Type(calc, "NewFold b");
        calc.PressKey(CalcKey::Enter);
        EXPECT_NE(calc.FindFolder("b"), nullptr);
        EXPECT_TRUE(calc.home.entry.empty());
    }
}
