#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "link/PacketCommands.h"

// Switches that make the virtual TI-92 misbehave, for tests of the
// computer's side. Request numbers count variable requests (not the
// directory or backup requests) from 1.
struct SimFaults {
    bool silent = false;                  // never answers (on the parallel cable: no one at the far end)
    long silentAfterBytes = -1;           // stops answering once it has sent this many bytes
    bool refuseReady = false;             // readiness checks get a refusal instead of ACK
    bool refuseAllRequests = false;       // every variable request is refused
    std::set<int> refuseRequests;         // these variable requests are refused
    bool refuseVariables = false;         // variables and backups from the computer are refused (memory full)
    bool refuseVariableCts = false;       // variable headers from the computer get ACK, then a refusal instead of CTS
    bool refuseVariableData = false;      // variable data from the computer is refused
    bool refuseVariableEnd = false;       // the end of a variable from the computer gets a refusal, not ACK
    int refuseBackupBlock = 0;            // this block header of a backup from the computer is refused (from 1)
    int damageBackupBlock = 0;            // this block of a backup to the computer carries a wrong checksum
    int emptyBackupBlock = 0;             // this block of a backup to the computer carries no image bytes
    int longBackupBlock = 0;              // this block's data packet carries a byte more than its header said
    bool refuseBackup = false;            // the backup request is refused
    std::string garbageBeforeAck;         // junk sent ahead of every ACK
    bool damageAllDataChecksums = false;  // every variable data packet carries a wrong checksum
    bool damageScreenshot = false;        // the screenshot's data packet carries a wrong checksum
    bool refuseScreenshot = false;        // the screenshot request is refused
    bool listingNamesNoFolder = false;    // the listing's header leaves the current folder unnamed
    std::set<int> damageDataChecksum;     // these variable requests get a wrong data checksum
    // Line noise: each byte the calculator sends is damaged (one bit flipped)
    // with this chance in a million, drawn from a generator seeded with
    // damageSeed, so a run can be repeated exactly.
    uint32_t damagePerMillion = 0;
    uint32_t damageSeed = 1;
    // Aimed damage: the byte at this position among all the bytes the
    // calculator sends (counting from 0) goes out as this value instead.
    std::map<long, uint8_t> replaceBytes;

    bool Refuses(int request) const { return refuseAllRequests || refuseRequests.count(request) > 0; }
    bool Damages(int request) const { return damageAllDataChecksums || damageDataChecksum.count(request) > 0; }
};
