#include "files/SafeFileName.h"

namespace {

// Far below the 255 bytes a file name may have, with room for an extension.
constexpr size_t kMaxNameBytes = 200;

}  // namespace

std::string SafeFileName(const std::string& name)
{
    std::string safe;
    for (unsigned char c : name) {
        if (safe.empty() && c == '.')
            continue;
        safe += (c < 0x20 || c == 0x7F || c == '/') ? '_' : static_cast<char>(c);
    }
    if (safe.size() > kMaxNameBytes)
        safe.resize(kMaxNameBytes);
    return safe.empty() ? "_" : safe;
}
