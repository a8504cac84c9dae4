#pragma once
#include <string>

class Ti92Link;
class TransferView;

// Sends the memory image of a backup file (".92b") to the calculator, which
// replaces its whole memory with it: a header with the image length, then
// blocks of at most 1024 bytes, each announced by a header of its own, then
// the end of transmission. A file whose checksum does not match its image
// is refused before anything is sent. Catches its own errors: shows the
// error dialog and writes the report line, then returns false; true when
// the whole image was sent.
bool SendBackup(Ti92Link& link, TransferView& view, const std::string& fileName);
