#pragma once
#include <cstdint>
#include <string>

constexpr const char* kDefaultExtensionString =
    ".92G;.92E;.92L;.92M;.92C;.92T;.92S;.92D;.92A;.92I;.92P;.92F;.92X;.92B;";

// The user's choices while the program runs; loaded at start, written at exit.
struct SettingsRecord {
    std::string ExtensionString = kDefaultExtensionString;
    bool ShowFargo1 = true;
    bool ShowFargo2 = true;
    bool StoreFolders = true;
    bool AutoCollect = true;
    bool AskBeforeReplace = true;  // before a send replaces variables on the calculator
    std::string IndexFile;
    std::string DataFile;
    std::string Fargo1LibDir;
    std::string Fargo2LibDir;
    // 0 parallel "$5 - cable", 1 grey serial "TI - graphlink", 2 black
    // serial cable, 3 USB cable; the link's Cabletype is this plus 1.
    uint8_t CableType = 1;
    uint8_t Port = 0;  // 0..3: the slot whose stored device is used; /dev/parportN
    bool CheckRegistry = true;
};

// Where a viewer window sits; the viewers read and update it.
struct ViewerPlacement {
    int Height = 130;
    int Width = 150;
    int Top = 0;
    int Left = 0;
    bool StayOnTop = true;
};

// Section names and parallel port addresses.
constexpr const char* kSectionSettings = "Settings";
constexpr const char* kSectionLast = "Last";
// In the Settings section; 1 (ask) unless the user turned it off.
constexpr const char* kAskBeforeReplaceName = "Ask before replacing variables";
constexpr uint16_t kParallelAddresses[4] = {0x378, 0x278, 0x3BC, 0x2BC};
constexpr int kHistoryItems = 5;
constexpr int kFileListColumns = 4;
