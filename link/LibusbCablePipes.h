#pragma once
#include <string>
#include <vector>

#include "link/UsbCablePipes.h"

struct libusb_context;
struct libusb_device_handle;

// The USB cable's pipes through libusb-1.0. The library is started on first
// use, so a program that never touches the USB cable never opens the bus.
class LibusbCablePipes : public UsbCablePipes {
public:
    LibusbCablePipes() = default;
    ~LibusbCablePipes() override;
    LibusbCablePipes(const LibusbCablePipes&) = delete;
    LibusbCablePipes& operator=(const LibusbCablePipes&) = delete;

    UsbStatus Open(UsbCableId wanted) override;
    void Close() override;
    bool IsOpen() const override { return fHandle != nullptr; }
    UsbCableId Id() const override { return fId; }
    std::string Detail() const override { return fDetail; }
    UsbStatus ResetPipes() override;
    UsbStatus Write(const uint8_t* data, size_t count, int timeoutMs) override;
    UsbStatus Read(uint8_t* block, size_t capacity, size_t& got, int timeoutMs) override;
    std::vector<UsbCableId> Present() override;

private:
    bool Start();
    UsbStatus StatusOf(int error);
    bool FindEndpoints();

    libusb_context* fContext = nullptr;
    libusb_device_handle* fHandle = nullptr;
    UsbCableId fId;
    unsigned char fIn = 0x81;
    unsigned char fOut = 0x02;
    std::string fDetail;
};

// The USB cables plugged in, as "usb:<bus>:<address>" paths for a port's
// device; empty when there are none or USB cannot be read.
std::vector<std::string> PresentUsbCablePaths();
