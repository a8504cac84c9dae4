#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class Ti92Link;

// Modifier keys held at a key release.
struct ShiftState {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// Virtual-key codes the key table is indexed by.
namespace VirtualKey {
constexpr int Back = 8, Tab = 9, Return = 13, Shift = 16, Control = 17, Menu = 18, Escape = 27, Space = 32, Prior = 33,
              Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40, Insert = 45, Delete = 46,
              F1 = 112;
}

// The remote keyboard: turns the keys typed in the remote window into
// calculator key codes and sends them as KEY packets, one at a time, each
// acknowledged before the next. Keys typed while a key is being sent wait in
// a queue that grows as needed, so none is lost.
class RemoteKeyboard {
public:
    explicit RemoteKeyboard(Ti92Link& link);

    // Calculator code by character (0: send the character's own code) and
    // by virtual key for keys that type no character (0: ignore the key).
    std::array<uint16_t, 256> CharacterTable{};
    std::array<uint16_t, 256> KeyTable{};

    // The window's status label: "Sending key..", "Key sent!", "(idle)".
    std::function<void(const std::string&)> ShowStatus;

    // The window was shown: nothing waits, nothing is being sent.
    void Shown();
    // The calculator code a typed character sends.
    uint16_t CodeOfCharacter(uint8_t character) const
    {
        return CharacterTable[character] != 0 ? CharacterTable[character] : character;
    }
    // A typed character; remembered until its key is released.
    void KeyPress(uint8_t character);
    // Ctrl+W, the usual close key, or Ctrl+Z, the one the window always had.
    static bool IsCloseKey(int virtualKey, ShiftState shift)
    {
        return shift.ctrl && !shift.shift && !shift.alt &&
               (virtualKey == 'W' || virtualKey == 'w' || virtualKey == 'Z' || virtualKey == 'z');
    }
    // A released key. True when it was a close key, which hides the window and
    // sends nothing; otherwise the remembered character or the key's code
    // is queued and, unless a send is running, sent.
    bool KeyRelease(int virtualKey, ShiftState shift);
    // Queues a calculator code without sending it.
    void Enqueue(uint16_t code) { fQueue.push_back(code); }
    // Sends the queue; keys released meanwhile are sent by the same loop.
    // A link error is shown once and ends the loop: the queue is emptied
    // and the label is back to "(idle)". True when every queued key was
    // acknowledged.
    bool SendQueuedKeys();

    uint16_t PendingCode() const { return fPending; }
    const std::vector<uint16_t>& Queue() const { return fQueue; }
    bool Sending() const { return fSending; }

private:
    void Status(const std::string& text);
    void SendKey(uint16_t code);

    Ti92Link& fLink;
    uint16_t fPending = 0;
    std::vector<uint16_t> fQueue;
    bool fSending = false;
};
