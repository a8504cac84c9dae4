#include "transfers/LinkBytes.h"

#include "link/TTI92.h"

std::string ReadLinkBytes(TTI92& link, size_t count)
{
    std::string bytes;
    bytes.reserve(count);
    for (size_t i = 0; i < count; ++i)
        bytes += static_cast<char>(link.ReceiveByte());
    return bytes;
}
