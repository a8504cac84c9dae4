#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The byte at i as a number.
inline uint8_t ByteAt(const std::string& bytes, size_t i)
{
    return static_cast<uint8_t>(bytes[i]);
}

// Sum of the bytes modulo 65536, the packet checksum.
inline uint16_t ByteSum(const std::string& bytes)
{
    uint32_t sum = 0;
    for (char c : bytes)
        sum += static_cast<uint8_t>(c);
    return static_cast<uint16_t>(sum);
}
