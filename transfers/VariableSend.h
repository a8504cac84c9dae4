#pragma once
#include <set>
#include <string>

class Ti92Link;
class TransferView;

// Sends every variable of a single-variable or group file, one complete
// conversation each (ready check, header, clear-to-send, data, end of
// transmission). Folder entries name the folder of the variables after
// them. The whole file is checked first: a file whose table points outside
// it raises EFileError before anything is sent. A refusal raises
// ECalculatorError; link errors pass through. On success a report line is
// added; true when every entry was handled. Variables whose full names are
// in `keep` are left out (the calculator keeps its own) and count as handled.
bool Send92g(Ti92Link& link, TransferView& view, const std::string& fileName, const std::set<std::string>& keep = {});
