#include "transfers/RemoteKeyboard.h"

#include <exception>

#include "link/CalculatorKeys.h"
#include "link/Dialogs.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"

namespace {

constexpr uint32_t kKeyPacingMs = 20;
// Before a run of keys the line must be quiet and empty, so the first
// acknowledgement read is the calculator's answer to the first key.
constexpr uint32_t kQuietBeforeKeysMs = 30;

}  // namespace

RemoteKeyboard::RemoteKeyboard(Ti92Link& link) : fLink(link)
{
    CharacterTable[VirtualKey::Back] = CalcKey::Backspace;
    CharacterTable[VirtualKey::Escape] = CalcKey::Esc;  // ESC, not the character

    KeyTable[VirtualKey::Prior] = CalcKey::Mode;
    KeyTable[VirtualKey::Next] = CalcKey::Clear;
    KeyTable[VirtualKey::End] = CalcKey::Sto;
    KeyTable[VirtualKey::Home] = CalcKey::Apps;
    KeyTable[VirtualKey::Left] = CalcKey::Left;
    KeyTable[VirtualKey::Up] = CalcKey::Up;
    KeyTable[VirtualKey::Right] = CalcKey::Right;
    KeyTable[VirtualKey::Down] = CalcKey::Down;
    KeyTable[VirtualKey::Insert] = CalcKey::Ins;
    KeyTable[VirtualKey::Delete] = CalcKey::Del;
    for (int f = 0; f < 8; ++f)
        KeyTable[static_cast<size_t>(VirtualKey::F1 + f)] = static_cast<uint16_t>(CalcKey::F1 + f);
}

void RemoteKeyboard::Shown()
{
    // A running loop ends by itself; resetting under it would lose its place.
    if (fSending)
        return;
    fQueue.clear();
    fPending = 0;
}

void RemoteKeyboard::KeyPress(uint8_t character)
{
    fPending = CodeOfCharacter(character);
}

bool RemoteKeyboard::KeyRelease(int virtualKey, ShiftState shift)
{
    if (IsCloseKey(virtualKey, shift))
        return true;
    uint16_t code = fPending;
    if (code == 0 && virtualKey >= 0 && virtualKey < 256)
        code = KeyTable[static_cast<size_t>(virtualKey)];
    // Taken before the send loop runs: keys pressed and released while it
    // lets events run must neither send this code again nor lose their own.
    fPending = 0;
    if (code != 0) {
        fQueue.push_back(code);
        if (!fSending)
            SendQueuedKeys();
    }
    fLink.pump().ProcessMessages();
    return false;
}

bool RemoteKeyboard::SendQueuedKeys()
{
    fLink.Aborted = 0;
    fSending = true;
    size_t i = 0;
    try {
        fLink.PrepareLine(kQuietBeforeKeysMs);
        for (; i < fQueue.size() && !fLink.Aborted; ++i) {
            Status("Sending key..");
            const uint32_t start = fLink.clock().GetTickCount();
            do {
                fLink.pump().ProcessMessages();
                fLink.clock().Sleep(1);
            } while (fLink.clock().GetTickCount() - start <= kKeyPacingMs);
            SendKey(fQueue[i]);
            do
                fLink.pump().ProcessMessages();
            while (!fLink.GetAck());
            Status("Key sent!");
        }
    } catch (const std::exception& e) {
        ShowMessage(fLink.dialogs(), e.what(), MsgIcon::Error);
    }
    const bool all = i == fQueue.size();
    fSending = false;
    fQueue.clear();
    Status("(idle)");
    return all;
}

void RemoteKeyboard::SendKey(uint16_t code)
{
    fLink.SendByte(kIdFromComputer);
    fLink.SendByte(Cmd::KEY);
    fLink.SendWord(code);
}

void RemoteKeyboard::Status(const std::string& text)
{
    if (ShowStatus)
        ShowStatus(text);
}
