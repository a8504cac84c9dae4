#pragma once
#include <cstdint>
#include <string>

class Ti92Link;
class TempStore;
class TransferView;

// The request for the memory backup: REQ, type 0x1D, "main\backup".
std::string BackupRequestPacket(uint8_t machineId);

// Asks for the memory backup only to read the ROM version its first header
// carries as its name, then leaves the calculator to give up on the rest.
// ECalculatorError "Did not got requestACK" when the request is refused;
// a damaged header and link errors propagate too.
std::string GetRomVer(Ti92Link& link, TransferView& view);

// Receives the whole memory backup, block by block, into a fresh temporary
// store as one item of type 0x1D named with the ROM version; every block's
// checksum is verified. On success (then with `autoAdvance` the wizard moves
// on) true. Errors are shown in the error dialog; the store is then left
// empty, so nothing incomplete can be saved as a backup.
bool ReceiveBackup(Ti92Link& link, TransferView& view, const TempStore& store, bool autoAdvance = true);
