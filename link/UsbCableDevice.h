#pragma once
#include <array>
#include <memory>

#include "link/SerialDevice.h"
#include "link/UsbCablePipes.h"

// The USB cable as a byte line for SerialPort: the same packets as the grey
// cable, with no line settings. Used by the link object for its USB cable.
//
// The path given to Open chooses the cable: "usb:<bus>:<address>" that one,
// anything else the first one present. Opening resets both pipes and drains
// what waits. Reads always fetch a whole 32-byte block into a buffer of our
// own, because a shorter read loses the rest of the block; writes go in
// chunks of at most kChunkBytes. A stalled pipe is reset and the transfer
// tried once more. A cable pulled out makes the line broken, with
// BrokenText saying so; opening it again finds it when it is back.
class UsbCableDevice : public SerialDevice {
public:
    explicit UsbCableDevice(std::unique_ptr<UsbCablePipes> pipes);

    bool Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fPipes->IsOpen(); }
    bool Apply(const SerialLineSettings&) override { return IsOpen(); }
    void Write(const uint8_t* data, size_t count) override;
    int BytesWaiting() override;
    int ReadOne() override;
    void DiscardInput() override;
    bool WaitForInput(int milliseconds) override;
    bool IsBroken() const override { return fBroken; }
    std::string OpenError() const override { return fOpenError; }
    std::string BrokenText() const override;

    // "usb:<bus>:<address>" for a cable, and back; nullopt-like {0,0} for any.
    static std::string PathOf(UsbCableId id);
    static UsbCableId IdOf(const std::string& path);
    // The words for a failed open.
    static std::string OpenErrorText(UsbStatus status, UsbCableId id, const std::string& detail = {});
    // How the cable is named in messages.
    static std::string NameOf(UsbCableId id);

    static constexpr size_t kChunkBytes = 256;
    static constexpr int kWriteTimeoutMs = 1000;
    static constexpr int kDrainReadMs = 5;

    UsbCablePipes& Pipes() { return *fPipes; }

private:
    bool Fill(int timeoutMs);
    void Note(UsbStatus status);

    std::unique_ptr<UsbCablePipes> fPipes;
    std::array<uint8_t, kUsbBlockBytes> fBlock{};
    size_t fPos = 0;
    size_t fEnd = 0;
    bool fBroken = false;
    std::string fOpenError;
};
