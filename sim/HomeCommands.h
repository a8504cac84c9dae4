#pragma once
#include <optional>
#include <string>

class VirtualTI92;

// The home screen's variable and folder commands, run on the calculator's
// memory as the TI-92 runs them when typed:
//   DelVar var1[,var2...]         Rename oldVar,newVar       CopyVar var1,var2
//   MoveVar var,oldFolder,newFolder   NewFold folder         DelFold folder1[,folder2...]
//   Lock var1[,var2...]           Unlock var1[,var2...]
// Names fold to lower case; a name without a folder is in the current one.
// Nothing when `input` is no such command; otherwise the error box's message,
// empty when the command was done. A failing command changes nothing from
// the failing name on.
std::optional<std::string> RunHomeCommand(VirtualTI92& calc, const std::string& input);
