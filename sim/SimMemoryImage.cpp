// The memory image of the virtual TI-92: the content laid out in one block
// of bytes, so a backup received from it can be sent back and restore it.
#include <cstdint>

#include "sim/SimPacket.h"
#include "sim/VirtualTI92.h"

namespace {

const std::string kMagic = "VTI92RAM";
constexpr size_t kMinimumImage = 4096;  // a backup always spans several blocks

std::string Pad8(const std::string& s)
{
    std::string out = s.substr(0, 8);
    out.resize(8, '\0');
    return out;
}

std::string Unpad(const std::string& s)
{
    return s.substr(0, s.find('\0'));
}

}  // namespace

std::string VirtualTI92::MemoryImage() const
{
    if (!fInstalledImage.empty())
        return fInstalledImage;
    std::string img = kMagic;
    img += Pad8(currentFolder);
    img += WordLE(static_cast<uint16_t>(folders.size()));
    for (const auto& f : folders) {
        img += Pad8(f.name);
        img += WordLE(static_cast<uint16_t>(f.variables.size()));
        for (const auto& v : f.variables) {
            img += Pad8(v.name);
            img += static_cast<char>(v.type);
            img += v.bytes;
        }
    }
    img += screen;
    if (img.size() < kMinimumImage)
        img.resize(kMinimumImage, '\0');
    // A trailing sum of the image, as a memory dump's end marker.
    img += LongLE(PacketChecksum(img));
    return img;
}

void VirtualTI92::InstallMemoryImage(const std::string& image)
{
    fInstalledImage = image;
    if (image.compare(0, kMagic.size(), kMagic) != 0)
        return;

    // Restore the content only when the whole layout reads back cleanly.
    size_t pos = kMagic.size();
    auto need = [&](size_t n) { return pos + n <= image.size(); };
    auto word = [&]() {
        uint16_t w = static_cast<uint16_t>(static_cast<unsigned char>(image[pos]) |
                                           (static_cast<unsigned char>(image[pos + 1]) << 8));
        pos += 2;
        return w;
    };
    if (!need(10))
        return;
    std::string current = Unpad(image.substr(pos, 8));
    pos += 8;
    uint16_t folderCount = word();
    std::vector<SimFolder> restored;
    for (uint16_t i = 0; i < folderCount; ++i) {
        if (!need(10))
            return;
        SimFolder f;
        f.name = Unpad(image.substr(pos, 8));
        pos += 8;
        uint16_t count = word();
        for (uint16_t k = 0; k < count; ++k) {
            if (!need(11))
                return;
            SimVariable v;
            v.name = Unpad(image.substr(pos, 8));
            v.type = static_cast<uint8_t>(image[pos + 8]);
            pos += 9;
            size_t size = (static_cast<unsigned char>(image[pos]) << 8) | static_cast<unsigned char>(image[pos + 1]);
            if (!need(2 + size) || size > SimVariable::kMaxDataBytes)
                return;
            v.bytes = image.substr(pos, 2 + size);
            pos += 2 + size;
            f.variables.push_back(v);
        }
        restored.push_back(f);
    }
    if (need(static_cast<size_t>(kScreenBytes)))
        screen = image.substr(pos, kScreenBytes);
    folders = restored;
    if (folders.empty())
        folders.push_back(SimFolder{"main", {}});
    currentFolder = current.empty() ? "main" : current;
}
