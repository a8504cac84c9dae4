#pragma once
#include <functional>
#include <string>

constexpr const char* kCorruptHintFile = "Hintfile is corrupt! Get a new version!";

// Reads tip number k + 1 of a tips file (first line: the count N, then one
// tip per line), where k = draw(N) is in 0..N-1 (draw gets 0 when N < 1 and
// k is then 0). A missing file or a first line that is not a number gives the
// corrupt-file text; a tip beyond the end of the file is empty.
std::string PickTipFrom(const std::string& path, const std::function<int(int count)>& draw);
