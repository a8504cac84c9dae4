#pragma once
#include <string>

// The command line's standard streams, guarded at both ends of a run (used
// by linkwise-cli's main). A descriptor 0-2 closed at start gets /dev/null,
// so no file the program opens can take its number and receive what was
// meant for the terminal; standard output closed at start refuses every
// write. At the end, standard output is flushed and closed and any loss
// reported.
namespace standardstreams {

// Call first thing in main.
void Secure();
// Flushes and closes standard output; false with the reason when something
// written to it was lost.
bool Finish(std::string& why);

}  // namespace standardstreams
