#pragma once
#include <cstdint>
#include <string>

class Ti92Link;
class TempStore;
class TransferView;

// What became of one variable the calculator agreed to send.
enum class VariableOutcome {
    Stored,             // data and index record are in the temporary store
    NotVariableHeader,  // the reply was no variable header; nothing was answered
    NotDataPacket,      // the header came, but no data packet after it
    Damaged,            // the data's checksum did not match; conversation finished
};

// The request packet for one variable: REQ, four zero bytes, type, name
// length, name, checksum.
std::string VariableRequestPacket(uint8_t machineId, const std::string& name, uint8_t type);

// Reads one variable right after its request was acknowledged and, when it
// arrives whole, appends its size word and data to the store's data file and
// its record to the index (`first` empties the store beforehand). Anything
// not stored is cut back off the data file. Link and file errors propagate.
VariableOutcome ReceiveVariable(Ti92Link& link, TransferView& view, const TempStore& store, bool first,
                                const std::string& name);

// Receives the rows selected in calculatorList (every row with `wholeContent`)
// into a fresh temporary store, listing them in receivedList. True when every
// requested variable was stored (also when nothing was requested); then,
// with `autoAdvance`, the wizard moves on.
bool ReceiveAll(Ti92Link& link, TransferView& view, const TempStore& store, bool autoAdvance,
                bool wholeContent = false);
