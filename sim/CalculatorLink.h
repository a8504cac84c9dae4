#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sim/CalculatorByteEnd.h"
#include "sim/SimConversation.h"
#include "sim/SimFaults.h"
#include "sim/SimPacket.h"
#include "sim/VirtualTI92.h"

// The calculator's end of the link at byte level: it takes the computer's
// bytes one at a time, answers complete packets through the conversation
// they belong to, and queues its reply bytes for the cable to carry.
class CalculatorLink : public CalculatorByteEnd {
public:
    explicit CalculatorLink(VirtualTI92& calc);
    ~CalculatorLink() override;
    CalculatorLink(const CalculatorLink&) = delete;
    CalculatorLink& operator=(const CalculatorLink&) = delete;

    VirtualTI92& Calc() { return fCalc; }
    SimFaults faults;
    bool keepLog = true;                             // record every packet received and byte sent
    std::function<void(const SimPacket&)> onPacket;  // sees every packet received

    // From the computer.
    void Receive(uint8_t b) override;
    void Receive(const std::string& bytes);
    // Drops a half-received packet; the pty server calls it after a pause.
    void ResetFraming() override;
    bool InPacket() const { return fReader.InPacket(); }

    // To the computer.
    bool HasOutput() const override { return fOutPos < fOut.size(); }
    size_t OutputPending() const { return fOut.size() - fOutPos; }
    int TakeByte() override;   // -1 when nothing waits
    std::string TakeOutput();  // everything waiting
    void DiscardOutput() override;
    bool Silent() const override { return faults.silent; }

    // What happened.
    const std::vector<SimPacket>& Received() const { return fReceived; }
    const std::string& SentBytes() const { return fSent; }
    long DamagedBytes() const { return fDamaged; }
    int VariableRequests() const { return fVariableRequests; }
    std::string ActiveConversation() const { return fActive ? fActive->Name() : std::string(); }

    // Used by the conversations.
    void SendAck();
    void SendShort(uint8_t cmd, uint16_t word = 0);
    void SendData(uint8_t cmd, const std::string& data, bool damaged = false);
    // A SKIP packet giving the reason (SkipCode in link/PacketCommands.h).
    void SendRefusal(uint8_t code = SkipCode::Skipped);
    void SendChecksumError();

private:
    void OnPacket(const SimPacket& p);
    void Start(const SimPacket& p);
    void Run(std::unique_ptr<SimConversation> c, const SimPacket& opening);
    void Emit(const std::string& bytes);
    char Damaged(char c);

    VirtualTI92& fCalc;
    SimPacketReader fReader;
    std::unique_ptr<SimConversation> fActive;
    std::string fOut;
    size_t fOutPos = 0;
    std::string fSent;
    long fEmitted = 0;
    std::mt19937 fNoise;
    bool fNoiseSeeded = false;
    std::vector<SimPacket> fReceived;
    int fVariableRequests = 0;
    long fDamaged = 0;
};
