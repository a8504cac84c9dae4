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
