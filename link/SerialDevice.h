#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Line settings as the serial port applies them to a device.
struct SerialLineSettings {
    int baudRate = 9600;
    int dataBits = 8;           // 4..8
    char parity = 'N';          // 'N', 'E', 'O', 'M', 'S'
    int stopBitsTimesTen = 10;  // 10, 15 or 20
    bool parityErrorChecking = false;
    bool parityErrorReplacement = false;
    bool stripNullChars = false;
    enum class Flow { None, XonXoff, RtsCts, DsrDtr } flow = Flow::None;
    uint8_t xonChar = 0x11;
    uint8_t xoffChar = 0x13;
    uint16_t xonLim = 1024;
    uint16_t xoffLim = 2048;
    uint8_t errorChar = 0;
    uint8_t eofChar = 0;  // 0: keep the device's own
};

// One open serial line. The real one is a termios descriptor; tests use an
// in-memory pipe to the virtual calculator.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    virtual bool Open(const std::string& path) = 0;  // false when the device cannot be opened
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    virtual bool Apply(const SerialLineSettings& settings) = 0;
    // Returns when the bytes have left the port.
    virtual void Write(const uint8_t* data, size_t count) = 0;
    // Hands the device as many of the bytes as it takes now, without waiting
    // for room or for the line; returns how many it took.
    virtual size_t WriteSome(const uint8_t* data, size_t count)
    {
        Write(data, count);
        return count;
    }
    // Sleeps until the device takes more output and holds at most `backlog`
    // bytes not yet on the line, or until the slice ends. Returns whether it
    // is ready. A device that cannot tell how much it holds counts only room.
    virtual bool WaitForRoom(int milliseconds, size_t backlog)
    {
        (void)milliseconds;
        (void)backlog;
        return true;
    }
    // Throws away what was handed over but has not yet left for the line, so
    // a packet cut short ends as soon as possible.
    virtual void DiscardOutput() {}
    // Lets `milliseconds` pass without reading or writing: the link waits
    // so for the line to carry what it already holds.
    virtual void Pause(int milliseconds) { (void)milliseconds; }
    virtual int BytesWaiting() = 0;
    // One received byte 0..255, or -1 when none waits. Never blocks.
    virtual int ReadOne() = 0;
    virtual void DiscardInput() = 0;
    // Sleeps until input arrives or the slice ends; lets polling loops avoid
    // spinning a core. Returns whether input is waiting.
    virtual bool WaitForInput(int milliseconds) = 0;
    // Whether the line was found gone since it was opened (the device
    // unplugged, the far end of a pseudo-terminal closed): it answers
    // nothing until it is opened again.
    virtual bool IsBroken() const { return false; }
    // Why the last Open failed, as "<path>: <reason>"; empty when it did not.
    virtual std::string OpenError() const { return {}; }
    // What to tell the user when the line was found gone; empty: the port's own words.
    virtual std::string BrokenText() const { return {}; }
};
