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

uint16_t ByteSum(const std::string& bytes)
{
    uint32_t sum = 0;
    for (char c : bytes)
        sum += static_cast<uint8_t>(c);
    return static_cast<uint16_t>(sum);
}
