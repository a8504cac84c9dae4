#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "link/SerialDevice.h"

enum ComPort { cpCOM1, cpCOM2, cpCOM3, cpCOM4, cpCOM5, cpCOM6, cpCOM7, cpCOM8 };
enum Baud {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br128000,
    br256000
};
enum Parity { pcNone, pcEven, pcOdd, pcMark, pcSpace };
enum StopBitCount { sbOne, sbOnePtFive, sbTwo };
enum DataBitCount { db4, db5, db6, db7, db8 };
enum Handshake { fcNone, fcXON_XOFF, fcRTS_CTS, fsDSR_DTR };

class SerialPort;
using SentDataHandler = std::function<void(SerialPort* sender, const std::string& data)>;
using ReceivedDataHandler = std::function<void(SerialPort* sender, const std::string& data)>;

// One serial port of the machine, numbered 1..8 as COM1..COM8. Port n is the
// device in LINKWISE_COMn when set, else the device stored for it, else
// /dev/ttyS(n-1).
class SerialPort {
public:
    // Without a device the port uses the real termios implementation.
    explicit SerialPort(std::unique_ptr<SerialDevice> device = nullptr);
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    bool OpenPort();
    bool ClosePort();
    void WriteData(const uint8_t* buffer, size_t count);
    // As WriteData, but hands over only what the device takes now; returns
    // how many bytes it took (the notifications see those).
    size_t WriteSome(const uint8_t* buffer, size_t count);
    // Waits up to a slice for room to write, leaving at most `backlog` bytes
    // queued for the line.
    bool WaitForRoom(int milliseconds, size_t backlog);
    // Throws away output not yet on the line (after a packet was cut short).
    void DropOutput();
    // Lets time pass without touching the line.
    void Pause(int milliseconds);
    // How long `count` bytes take on the line at the port's settings.
    uint64_t LineMicros(size_t count) const;
    int ReadByte();
    void PurgeInput();
    void PurgeOutput();
    void ApplySettings();
    bool IsOpen() const;
    // The open line was found gone; OpenPort opens it afresh.
    bool IsBroken() const;
    // Why the last OpenPort failed, e.g. "/dev/ttyUSB0: no such device".
    std::string OpenError() const;
    // The message for a line found gone, naming its device.
    std::string BrokenText() const;
    // Waits up to a short slice for input so polling loops do not spin.
    bool WaitForInput(int milliseconds);

    // Device mapping of the ports.
    static void SetStoredDevice(int portNumber, const std::string& path);  // 1..8; empty clears
    static std::string StoredDevice(int portNumber);
    static std::string DevicePath(int portNumber);

    ComPort CommPort() const { return fCommPort; }
    Baud BaudRate() const { return fBaudRate; }
    Parity ParityType() const { return fParityType; }
    bool ParityErrorChecking() const { return fParityErrorChecking; }
    uint8_t ParityErrorChar() const { return fParityErrorChar; }
    bool ParityErrorReplacement() const { return fParityErrorReplacement; }
    StopBitCount StopBits() const { return fStopBits; }
    DataBitCount DataBits() const { return fDataBits; }
    uint8_t XONChar() const { return fXONChar; }
    uint8_t XOFFChar() const { return fXOFFChar; }
    uint16_t XONLim() const { return fXONLim; }
    uint16_t XOFFLim() const { return fXOFFLim; }
    uint8_t ErrorChar() const { return fErrorChar; }
    Handshake FlowControl() const { return fFlowControl; }
    bool StripNullChars() const { return fStripNullChars; }
    uint8_t EOFChar() const { return fEOFChar; }

    void SetCommPort(ComPort v);
    void SetBaudRate(Baud v);
    void SetParityType(Parity v);
    void SetParityErrorChecking(bool v);
    void SetParityErrorChar(uint8_t v);
    void SetParityErrorReplacement(bool v);
    void SetStopBits(StopBitCount v);
    void SetDataBits(DataBitCount v);
    void SetXONChar(uint8_t v);
    void SetXOFFChar(uint8_t v);
    void SetXONLim(uint16_t v);
    void SetXOFFLim(uint16_t v);
    void SetErrorChar(uint8_t v);
    void SetFlowControl(Handshake v);
    void SetStripNullChars(bool v);
    void SetEOFChar(uint8_t v);

    SentDataHandler OnTransmit;
    ReceivedDataHandler OnReceive;
    SentDataHandler AfterTransmit;
    ReceivedDataHandler AfterReceive;

    // The settings as a device applies them.
    SerialLineSettings LineSettings() const;
    SerialDevice& Device() { return *fDevice; }

private:
    template <typename T>
    void Change(T& field, T value);

    std::unique_ptr<SerialDevice> fDevice;
    std::string fPath;  // the device last opened
    ComPort fCommPort = cpCOM2;
    Baud fBaudRate = br9600;
    Parity fParityType = pcNone;
    bool fParityErrorChecking = false;
    uint8_t fParityErrorChar = 0;
    bool fParityErrorReplacement = false;
    StopBitCount fStopBits = sbOne;
    DataBitCount fDataBits = db8;
    uint8_t fXONChar = 17;
    uint8_t fXOFFChar = 19;
    uint16_t fXONLim = 1024;
    uint16_t fXOFFLim = 2048;
    uint8_t fErrorChar = 0;
    Handshake fFlowControl = fcNone;
    bool fStripNullChars = false;
    uint8_t fEOFChar = 0;
};
