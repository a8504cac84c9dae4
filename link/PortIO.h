#pragma once
#include <cstdint>
#include <string>

// Byte access to the parallel port's registers (data at the base address,
// status at base + 1). The real one drives /dev/parportN through ppdev; tests
// use a simulated two-line cable with the virtual calculator on its far end.
class PortIO {
public:
    virtual ~PortIO() = default;
    virtual void PortOut(uint16_t address, uint8_t value) = 0;
    virtual uint8_t PortIn(uint16_t address) = 0;
    // Why the port at `address` cannot be used, naming its device and what
    // to do; empty when it can.
    virtual std::string Problem(uint16_t address)
    {
        (void)address;
        return {};
    }
};
