#pragma once
#include <array>
#include <string>

#include "link/PortIO.h"

// The parallel port's registers through the kernel's ppdev driver. The four
// classic base addresses 0x378, 0x278, 0x3BC and 0x2BC are /dev/parport0..3;
// the data register is at the base, the status register at base + 1.
//
// A port is opened and claimed on first use. When that fails (no such
// device, no permission, claimed by someone else) the port stays unavailable
// for the life of this object: writes do nothing and a status read gives
// 0x30, both link lines high with nobody answering. Problem says why, so
// the link can report it before it waits for an answer that cannot come.
// Addresses outside the four ports behave the same.
class PpdevPortIO : public PortIO {
public:
    PpdevPortIO() = default;
    ~PpdevPortIO() override;
    PpdevPortIO(const PpdevPortIO&) = delete;
    PpdevPortIO& operator=(const PpdevPortIO&) = delete;

    void PortOut(uint16_t address, uint8_t value) override;
    uint8_t PortIn(uint16_t address) override;

    // Device of the port whose register block holds the address, or -1.
    static int PortIndex(uint16_t address);
    static uint16_t BaseAddress(int index);
    // Overrides the device path of a port (tests, unusual machines).
    void SetDevicePath(int index, const std::string& path);
    bool Available(int index);
    std::string Problem(uint16_t address) override;
    // The words for a failed open or claim of `path` with this errno, with
    // what to do about a missing driver or a missing permission.
    static std::string OpenErrorText(const std::string& path, int error);

    static constexpr uint8_t kIdleStatus = 0x30;

private:
    enum class State { Untried, Claimed, Unavailable };
    struct Port {
        State state = State::Untried;
        int fd = -1;
        std::string path;
        std::string problem;  // why it is unavailable
    };
    int Claim(int index);  // descriptor or -1

    std::array<Port, 4> fPorts;
};
