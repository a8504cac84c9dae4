// Writes the seed corpus of the link fuzz target: one file per conversation,
// named after it, holding its selector byte and every byte the virtual TI-92
// sends in a clean run. Usage: record_link_corpus DIR
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "tests/support/HostileConversations.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("linkwise-record-link-" + std::to_string(getpid()));
    try {
        std::filesystem::create_directories(argv[1]);
        for (size_t i = 0; i < HostileConversationCount(); ++i) {
            const std::string bytes = RecordCleanConversation(i, folder);
            std::ofstream out(std::filesystem::path(argv[1]) / HostileConversationName(i), std::ios::binary);
            out << bytes;
            if (!out.flush())
                throw std::runtime_error(std::string("cannot write ") + argv[1]);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        std::filesystem::remove_all(folder);
        return 1;
    }
    std::filesystem::remove_all(folder);
    return 0;
}
