#pragma once
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>

#include "link/SerialDevice.h"

// Cuts a byte stream of one direction into link packets (id, command, 16-bit
// word, then for the commands that carry data the data and a checksum) and
// prints each as one line: "> 09 68 00 00  RDY" for a packet sent, "<" for
// one received; data beyond 16 bytes is counted, not shown.
class PacketTrace {
public:
    PacketTrace(std::ostream& out, char direction) : fOut(out), fDirection(direction) {}
    void Add(uint8_t byte);
    // Prints what came of a packet cut short, and starts afresh.
    void Flush();

private:
    void Print();
    std::ostream& fOut;
    char fDirection;
    std::string fPacket;
    size_t fExpected = 4;
};

// The name of a packet command ("RDY", "VAR", ...), or empty.
std::string PacketCommandName(uint8_t command);

// A serial line that shows every packet it carries.
class TracingSerialDevice : public SerialDevice {
public:
    TracingSerialDevice(std::unique_ptr<SerialDevice> inner, std::ostream& out);

    bool Open(const std::string& path) override { return fInner->Open(path); }
    void Close() override { fInner->Close(); }
    bool IsOpen() const override { return fInner->IsOpen(); }
    bool Apply(const SerialLineSettings& settings) override { return fInner->Apply(settings); }
    void Write(const uint8_t* data, size_t count) override;
    size_t WriteSome(const uint8_t* data, size_t count) override;
    bool WaitForRoom(int milliseconds, size_t backlog) override { return fInner->WaitForRoom(milliseconds, backlog); }
    void DiscardOutput() override { fInner->DiscardOutput(); }
    void Pause(int milliseconds) override { fInner->Pause(milliseconds); }
    int BytesWaiting() override { return fInner->BytesWaiting(); }
    int ReadOne() override;
    void DiscardInput() override;
    bool WaitForInput(int milliseconds) override { return fInner->WaitForInput(milliseconds); }
    bool IsBroken() const override { return fInner->IsBroken(); }
    std::string OpenError() const override { return fInner->OpenError(); }

private:
    std::unique_ptr<SerialDevice> fInner;
    PacketTrace fSent, fReceived;
};
