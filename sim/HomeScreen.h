#pragma once
#include <cstdint>
#include <string>
#include <vector>

class VirtualTI92;

// The home screen the virtual TI-92 shows: the toolbar, the history of
// entries and their answers, the entry line and the status line. Keys from
// the remote keyboard edit the entry line; ENTER answers it.
class HomeScreen {
public:
    struct Entry {
        std::string input;
        std::string answer;
    };

    std::vector<Entry> history;
    std::string entry;

    // A calculator key code: characters are typed, BACKSPACE, CLEAR and ESC
    // edit, ENTER moves the entry into the history with its answer.
    void Press(uint16_t code);
    void Enter(const std::string& input);
    // Draws the whole screen afresh.
    void Draw(VirtualTI92& calc) const;
};
