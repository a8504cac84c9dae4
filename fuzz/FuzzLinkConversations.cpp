// Plays a hostile calculator: the input's first byte picks a conversation the
// computer starts, the rest is everything the calculator sends. A crash, a
// leak, an unexpected exception or a success without what the calculator's
// sound packets carried stops the fuzzer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "tests/support/HostileConversations.h"

namespace {

// The files the conversations send and the temporary store, in a folder of
// this process's own under TMPDIR (scripts/fuzz.sh points it at memory where
// it can: a received file's save syncs it to the disk).
const std::filesystem::path& Folder()
{
    static const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("linkwise-fuzz-link-" + std::to_string(getpid()));
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const HostileOutcome outcome =
        RunHostileConversation(std::string_view(reinterpret_cast<const char*>(data), size), Folder());
    if (!outcome.fault.empty()) {
        std::fprintf(stderr, "%s: %s\n", HostileConversationName(data[0]).c_str(), outcome.fault.c_str());
        __builtin_trap();
    }
    return 0;
}
