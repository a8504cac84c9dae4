#pragma once
#include <string>

// What an opened device node is when it cannot carry the link: "a regular
// file, not a serial line", "a character device that is no serial line", ...
// (for the parallel cable: no parallel port); empty when it is fit. A FIFO,
// a file or /dev/null would take a conversation and never answer, and the
// user would hear only that the calculator is not ready.
std::string UnfitNode(int fd, bool parallel);

// What a path is when it is no character device at all, without opening
// it (a FIFO is not touched); empty for a character device or a missing path.
std::string UnfitPath(const std::string& path, bool parallel);

// Both, for a path: a character device is opened for a moment; empty too when it is missing or
// cannot be opened (opening it for use reports why).
std::string UnfitDevice(const std::string& path, bool parallel);
