#pragma once
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "link/SerialDevice.h"

// A serial device whose input is scripted by the test and whose output is
// recorded. `onWrite` lets a test answer a byte the moment it is written.
class ScriptedSerialDevice : public SerialDevice {
public:
    bool Open(const std::string& path) override
    {
        openedPath = path;
        open = openable;
        return open;
    }
    void Close() override { open = false; }
    bool IsOpen() const override { return open; }
    bool Apply(const SerialLineSettings& s) override
    {
        ++applied;
        settings = s;
        return true;
    }
    void Write(const uint8_t* data, size_t count) override
    {
        ++writes;
        for (size_t i = 0; i < count; ++i) {
            written.push_back(static_cast<char>(data[i]));
            if (onWrite)
                onWrite(data[i]);
        }
    }
    // Takes at most `acceptAtOnce` bytes a call, as a device with a full
    // queue does; `onRoomWait` lets the line move on while the link waits.
    size_t WriteSome(const uint8_t* data, size_t count) override
    {
        const size_t taken = std::min(count, acceptAtOnce);
        if (taken > 0)
            Write(data, taken);
        return taken;
    }
    bool WaitForRoom(int, size_t) override
    {
        ++roomWaits;
        if (onRoomWait)
            onRoomWait();
        return acceptAtOnce > 0;
    }
    void DiscardOutput() override { ++outputDiscards; }
    void Pause(int milliseconds) override
    {
        if (onPause)
            onPause(milliseconds);
    }
    bool IsBroken() const override { return broken; }
    int BytesWaiting() override { return static_cast<int>(input.size()); }
    int ReadOne() override
    {
        if (input.empty())
            return -1;
        uint8_t b = static_cast<uint8_t>(input.front());
        input.pop_front();
        return b;
    }
    void DiscardInput() override
    {
        ++inputDiscards;
        input.clear();
    }
    bool WaitForInput(int) override
    {
        ++waits;
        if (onWait)
            onWait();
        return !input.empty();
    }

    void Feed(const std::string& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }

    bool openable = true;
    bool open = false;
    std::string openedPath;
    int applied = 0;
    SerialLineSettings settings;
    std::string written;
    int writes = 0;  // calls of Write
    std::deque<char> input;
    int inputDiscards = 0;
    int waits = 0;
    std::function<void(uint8_t)> onWrite;
    std::function<void()> onWait;  // bytes arriving while the computer waits
    size_t acceptAtOnce = SIZE_MAX;
    int roomWaits = 0;
    std::function<void()> onRoomWait;
    int outputDiscards = 0;
    std::function<void(int)> onPause;  // lets the line move on while the link waits for it
    bool broken = false;
};
