#include "link/LibusbCablePipes.h"

#include <libusb.h>

#include "link/UsbCableDevice.h"

LibusbCablePipes::~LibusbCablePipes()
{
    Close();
    if (fContext)
        libusb_exit(fContext);
}

bool LibusbCablePipes::Start()
{
    if (fContext)
        return true;
    const int result = libusb_init(&fContext);
    if (result != 0) {
        fContext = nullptr;
        fDetail = std::string("USB is not available: ") + libusb_strerror(result);
    }
    return fContext != nullptr;
}

UsbStatus LibusbCablePipes::StatusOf(int error)
{
    switch (error) {
    case LIBUSB_SUCCESS:
        return UsbStatus::Ok;
    case LIBUSB_ERROR_TIMEOUT:
        return UsbStatus::Timeout;
    case LIBUSB_ERROR_PIPE:
        return UsbStatus::Stalled;
    case LIBUSB_ERROR_NO_DEVICE:
        return UsbStatus::Gone;
    case LIBUSB_ERROR_ACCESS:
        return UsbStatus::NoPermission;
    case LIBUSB_ERROR_BUSY:
        return UsbStatus::Busy;
    case LIBUSB_ERROR_NOT_FOUND:
        return UsbStatus::NotFound;
    default:
        fDetail = libusb_strerror(error);
        return UsbStatus::Failed;
    }
}

std::vector<UsbCableId> LibusbCablePipes::Present()
{
    std::vector<UsbCableId> cables;
    if (!Start())
        return cables;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(fContext, &list);
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor d{};
        if (libusb_get_device_descriptor(list[i], &d) == 0 && d.idVendor == kUsbCableVendor &&
            d.idProduct == kUsbCableProduct)
            cables.push_back({libusb_get_bus_number(list[i]), libusb_get_device_address(list[i])});
    }
    if (count >= 0)
        libusb_free_device_list(list, 1);
    return cables;
}

UsbStatus LibusbCablePipes::Open(UsbCableId wanted)
{
    Close();
    fDetail.clear();
    fId = wanted;
    if (!Start())
        return UsbStatus::Failed;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(fContext, &list);
    if (count < 0)
        return StatusOf(static_cast<int>(count));
    UsbStatus status = UsbStatus::NotFound;
    for (ssize_t i = 0; i < count && status == UsbStatus::NotFound; ++i) {
        libusb_device_descriptor d{};
        const UsbCableId id{libusb_get_bus_number(list[i]), libusb_get_device_address(list[i])};
        if (libusb_get_device_descriptor(list[i], &d) != 0 || d.idVendor != kUsbCableVendor ||
            d.idProduct != kUsbCableProduct || (wanted.bus != 0 && !(id == wanted)))
            continue;
        fId = id;
        status = StatusOf(libusb_open(list[i], &fHandle));
    }
    libusb_free_device_list(list, 1);
    if (status != UsbStatus::Ok) {
        fHandle = nullptr;
        return status;
    }
    libusb_set_auto_detach_kernel_driver(fHandle, 1);
    status = StatusOf(libusb_claim_interface(fHandle, 0));
    if (status == UsbStatus::Ok && !FindEndpoints())
        status = UsbStatus::Failed;
    if (status != UsbStatus::Ok)
        Close();
    return status;
}

bool LibusbCablePipes::FindEndpoints()
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(libusb_get_device(fHandle), &config) != 0 || !config) {
        fDetail = "its descriptors cannot be read";
        return false;
    }
    bool in = false, out = false;
    if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0) {
        const libusb_interface_descriptor& alt = config->interface[0].altsetting[0];
        for (int e = 0; e < alt.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& ep = alt.endpoint[e];
            if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                continue;
            if ((ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) && !in) {
                fIn = ep.bEndpointAddress;
                in = true;
            } else if (!(ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) && !out) {
                fOut = ep.bEndpointAddress;
                out = true;
            }
        }
    }
    libusb_free_config_descriptor(config);
    if (!in || !out)
        fDetail = "it has no bulk pipes";
    return in && out;
}

void LibusbCablePipes::Close()
{
    if (!fHandle)
        return;
    libusb_release_interface(fHandle, 0);
    libusb_close(fHandle);
    fHandle = nullptr;
}

UsbStatus LibusbCablePipes::ResetPipes()
{
    if (!fHandle)
        return UsbStatus::Failed;
    const UsbStatus out = StatusOf(libusb_clear_halt(fHandle, fOut));
    const UsbStatus in = StatusOf(libusb_clear_halt(fHandle, fIn));
    return out != UsbStatus::Ok ? out : in;
}

UsbStatus LibusbCablePipes::Write(const uint8_t* data, size_t count, int timeoutMs)
{
    if (!fHandle)
        return UsbStatus::Failed;
    int sent = 0;
    const int result = libusb_bulk_transfer(fHandle, fOut, const_cast<uint8_t*>(data), static_cast<int>(count), &sent,
                                            static_cast<unsigned>(timeoutMs));
    if (result == 0 && static_cast<size_t>(sent) != count)
        return UsbStatus::Timeout;
    return StatusOf(result);
}

UsbStatus LibusbCablePipes::Read(uint8_t* block, size_t capacity, size_t& got, int timeoutMs)
{
    got = 0;
    if (!fHandle)
        return UsbStatus::Failed;
    int received = 0;
    // A time-out of 0 would wait for ever.
    const int result = libusb_bulk_transfer(fHandle, fIn, block, static_cast<int>(capacity), &received,
                                            static_cast<unsigned>(timeoutMs > 0 ? timeoutMs : 1));
    got = static_cast<size_t>(received);
    // Bytes that came before a time-out are bytes all the same.
    if (result == LIBUSB_ERROR_TIMEOUT && received > 0)
        return UsbStatus::Ok;
    return StatusOf(result);
}

std::vector<std::string> PresentUsbCablePaths()
{
    LibusbCablePipes pipes;
    std::vector<std::string> paths;
    for (const UsbCableId& id : pipes.Present())
        paths.push_back(UsbCableDevice::PathOf(id));
    return paths;
}
