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
// added; true when every entry was handled. The variables whose places in
// the entry table (from 0, folder entries counted) are in `leaveOut` are
// not sent (the calculator keeps its own) and count as handled. Reports and
// errors name the file `shownName` (a text converted on the way is sent from
// a temporary file), or the file's own name when that is empty.
bool Send92g(Ti92Link& link, TransferView& view, const std::string& fileName, const std::set<size_t>& leaveOut = {},
             const std::string& shownName = {});
