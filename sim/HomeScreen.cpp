#include "sim/HomeScreen.h"

#include "link/CalculatorKeys.h"
#include "sim/HomeArithmetic.h"
#include "sim/HomeCommands.h"
#include "sim/ScreenFont.h"
#include "sim/VirtualTI92.h"

namespace {

constexpr int kWidth = VirtualTI92::kScreenWidth;
constexpr size_t kMaxHistory = 30;
constexpr size_t kMaxEntry = 56;  // what the entry line shows
constexpr int kLine = 8;
constexpr int kHistoryBottom = 102;
constexpr int kEntryTop = 105;
constexpr int kStatusTop = 118;

void HorizontalLine(VirtualTI92& calc, int y, int step = 1)
{
    for (int x = 0; x < kWidth; x += step)
        calc.SetPixel(x, y, true);
}

void VerticalLine(VirtualTI92& calc, int x, int top, int bottom)
{
    for (int y = top; y <= bottom; ++y)
        calc.SetPixel(x, y, true);
}

}  // namespace

void HomeScreen::Enter(const std::string& input)
{
    const auto answer = EvaluateEntry(input);
    history.push_back({input, answer ? *answer : input});
    if (history.size() > kMaxHistory)
        history.erase(history.begin());
}

void HomeScreen::Press(uint16_t code, VirtualTI92& calc)
{
    if (!errorBox.empty()) {
        if (code == CalcKey::Esc || code == CalcKey::Enter)
            errorBox.clear();
        return;
    }
    if (code == CalcKey::Quit || code == CalcKey::Home) {
        otherScreen.clear();
        return;
    }
    if (!otherScreen.empty())
        return;
    if (code == CalcKey::Enter) {
        if (entry.empty())
            return;
        if (const auto run = RunHomeCommand(calc, entry)) {
            if (!run->empty()) {
                errorBox = *run;
                return;
            }
            history.push_back({entry, "Done"});
            if (history.size() > kMaxHistory)
                history.erase(history.begin());
        } else {
            Enter(entry);
        }
        entry.clear();
    } else if (code == CalcKey::Backspace) {
        if (!entry.empty())
            entry.pop_back();
    } else if (code == CalcKey::Clear || code == CalcKey::Esc) {
        entry.clear();
    } else if (code >= 32 && code < 127 && entry.size() < kMaxEntry) {
        entry += static_cast<char>(code);
    }
}

void HomeScreen::Draw(VirtualTI92& calc) const
{
    calc.ClearScreen();
    if (!otherScreen.empty()) {
        ScreenFont::DrawText(calc, 2, 2, otherScreen);
        HorizontalLine(calc, 9);
        return;
    }

    // Toolbar: the F-key menus, each in its own box.
    int x = 1;
    for (const char* tab : {"F1 Tools", "F2 Algebra", "F3 Calc", "F4 Other", "F5 PrgmIO", "F6 Clean Up"}) {
        x = ScreenFont::DrawText(calc, x + 1, 2, tab) + 1;
        VerticalLine(calc, x, 0, 8);
    }
    HorizontalLine(calc, 9);

    // History, newest at the bottom: the entry left, its answer right.
    int y = kHistoryBottom - kLine;
    for (auto it = history.rbegin(); it != history.rend() && y >= 11; ++it, y -= kLine) {
        for (int dy = 1; dy < 4; ++dy)
            for (int dx = 1; dx < 4; ++dx)
                calc.SetPixel(dx + 1, y + dy, true);
        ScreenFont::DrawText(calc, 8, y, it->input);
        ScreenFont::DrawText(calc, kWidth - 3 - ScreenFont::TextWidth(it->answer), y, it->answer);
    }
    HorizontalLine(calc, kHistoryBottom + 1, 2);

    // Entry line with its cursor.
    HorizontalLine(calc, kEntryTop);
    HorizontalLine(calc, kEntryTop + 9);
    VerticalLine(calc, 0, kEntryTop, kEntryTop + 9);
    VerticalLine(calc, kWidth - 1, kEntryTop, kEntryTop + 9);
    const int end = ScreenFont::DrawText(calc, 3, kEntryTop + 3, entry);
    VerticalLine(calc, end, kEntryTop + 2, kEntryTop + 8);

    // Status line.
    HorizontalLine(calc, kStatusTop);
    ScreenFont::DrawText(calc, 2, kStatusTop + 4, "MAIN");
    ScreenFont::DrawText(calc, 70, kStatusTop + 4, "RAD AUTO");
    ScreenFont::DrawText(calc, 140, kStatusTop + 4, "FUNC");
    const std::string count = std::to_string(history.size()) + "/30";
    ScreenFont::DrawText(calc, kWidth - 3 - ScreenFont::TextWidth(count), kStatusTop + 4, count);

    // The error box over the middle of the screen, cleared inside.
    if (!errorBox.empty()) {
        constexpr int kLeft = 20, kTop = 40, kBottom = 80;
        const int right = kWidth - kLeft;
        for (int y = kTop; y <= kBottom; ++y)
            for (int x = kLeft; x <= right; ++x)
                calc.SetPixel(x, y, y == kTop || y == kBottom || x == kLeft || x == right);
        ScreenFont::DrawText(calc, kLeft + 4, kTop + 4, "Error");
        ScreenFont::DrawText(calc, kLeft + 4, kTop + 18, errorBox);
        ScreenFont::DrawText(calc, kLeft + 4, kBottom - 10, "Enter=OK  ESC=CANCEL");
    }
}
