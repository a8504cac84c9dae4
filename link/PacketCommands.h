#pragma once
#include <cstdint>

// Command bytes of the link packets (second byte of every packet).
namespace Cmd {
constexpr uint8_t VAR = 0x06;
constexpr uint8_t CTS = 0x09;
constexpr uint8_t DATA = 0x15;
constexpr uint8_t SKIP = 0x36;  // a refusal: one data byte, the reason
constexpr uint8_t ACK = 0x56;
constexpr uint8_t RDY = 0x68;
constexpr uint8_t SCR = 0x6D;
constexpr uint8_t KEY = 0x87;
constexpr uint8_t EOT = 0x92;
constexpr uint8_t REQ = 0xA2;
}  // namespace Cmd

// Reasons a SKIP packet gives.
namespace SkipCode {
constexpr uint8_t Exited = 1;
constexpr uint8_t Skipped = 2;
constexpr uint8_t OutOfMemory = 3;
constexpr uint8_t BadVersion = 4;
}  // namespace SkipCode

// Machine ids of the TI-92 link.
constexpr uint8_t kIdFromComputer = 0x09;
constexpr uint8_t kIdFromCalculator = 0x89;

// Type codes with a fixed meaning in the conversations.
constexpr uint8_t kTypeText = 0x0B;
constexpr uint8_t kTypeDirectoryRequest = 0x19;
constexpr uint8_t kTypeBackup = 0x1D;
constexpr uint8_t kTypeFolder = 0x1F;
