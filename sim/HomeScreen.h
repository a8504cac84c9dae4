#pragma once
#include <cstdint>
#include <string>
#include <vector>

class VirtualTI92;

// The home screen the virtual TI-92 shows: the toolbar, the history of
// entries and their answers, the entry line and the status line. Keys from
// the remote keyboard edit the entry line; ENTER answers it or runs the
// variable and folder commands (sim/HomeCommands.h).
class HomeScreen {
public:
    struct Entry {
        std::string input;
        std::string answer;
    };

    std::vector<Entry> history;
    std::string entry;
    // Another application (the graph, the program editor) in front of the
    // home screen: its name, or empty when the home screen shows. Only QUIT
    // and HOME leave it; other keys go to that application.
    std::string otherScreen;
    // The message of the error box over the screen, or empty. Only ESC and
    // ENTER close it; every other key is lost meanwhile.
    std::string errorBox;

    // A calculator key code: characters are typed, BACKSPACE, CLEAR and ESC
    // edit, ENTER moves the entry into the history with its answer, or runs
    // a command on `calc`; a command that fails opens the error box and
    // leaves the entry on the line.
    void Press(uint16_t code, VirtualTI92& calc);
    void Enter(const std::string& input);
    // Draws the whole screen afresh.
    void Draw(VirtualTI92& calc) const;
};
