#pragma once
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The conversations the computer starts, run against a calculator played by
// a script of bytes: the link fuzz target runs them, and the regression rows
// of its findings replay them. An input's first byte picks the conversation
// (modulo their number); the rest is everything the calculator sends. A run
// is faulty when an exception the conversation does not promise escapes, or
// when it reports success without exactly what the script's packets carried
// with valid checksums (a send: without an acknowledgement at every step).

// Longer scripts are not run: every clean conversation is far shorter.
constexpr size_t kMaxCalculatorScript = 16384;
// Nor, on the two-wire cables, where every byte is a slow handshake, are
// scripts longer than this.
constexpr size_t kMaxBitCableScript = 1024;

struct HostileOutcome {
    bool ran = false;      // false for an empty or over-long input
    bool success = false;  // the conversation reported success
    std::string fault;     // what was unsound; empty when nothing was
};

size_t HostileConversationCount();
std::string HostileConversationName(size_t index);

// Files the conversations send, and the temporary store, live in `folder`
// (made and filled when missing).
HostileOutcome RunHostileConversation(std::string_view input, const std::filesystem::path& folder);

// The input of a clean run of conversation `index`: its selector byte, then
// every byte the virtual TI-92 sends in it. Throws std::runtime_error when
// the clean run does not succeed soundly.
std::string RecordCleanConversation(size_t index, const std::filesystem::path& folder);
