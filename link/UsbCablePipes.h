#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The USB cable's two bulk pipes (32-byte endpoints, one in, one out). The
// real one is libusb (LibusbCablePipes); tests use a simulated cable with the
// virtual calculator behind it. UsbCableDevice turns them into a byte line.
enum class UsbStatus { Ok, Timeout, Stalled, Gone, NoPermission, Busy, NotFound, Failed };

// One cable present on the bus.
struct UsbCableId {
    int bus = 0;
    int address = 0;
    bool operator==(const UsbCableId&) const = default;
};

class UsbCablePipes {
public:
    virtual ~UsbCablePipes() = default;
    // Opens the cable at this bus and address, or the first one present when
    // bus is 0, and claims its interface.
    virtual UsbStatus Open(UsbCableId wanted) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The cable last opened or tried.
    virtual UsbCableId Id() const = 0;
    // What the last failure was, from the system, for the message; may be empty.
    virtual std::string Detail() const { return {}; }
    // Clears a halt on both pipes.
    virtual UsbStatus ResetPipes() = 0;
    // Hands over all bytes, or fails.
    virtual UsbStatus Write(const uint8_t* data, size_t count, int timeoutMs) = 0;
    // One bulk read of up to `capacity` bytes into `block`; `got` says how
    // many came. Whatever the cable's block held beyond `capacity` is lost.
    virtual UsbStatus Read(uint8_t* block, size_t capacity, size_t& got, int timeoutMs) = 0;
    virtual std::vector<UsbCableId> Present() = 0;
};

constexpr uint16_t kUsbCableVendor = 0x0451;
constexpr uint16_t kUsbCableProduct = 0xE001;
constexpr size_t kUsbBlockBytes = 32;
