#pragma once
#include "app/window/FargoSteps.h"

class TForm1;
class TTI92;

// The list send the Fargo task uses: each file of the list in turn, a
// backup file with the backup send and every other file with the variable
// send, reported as one job (error dialog and line, summary line, the
// automatic Next when every file went). It stands in for the file browser's
// list send, which also converts text files and adds Fargo libraries, until
// that send is here.
FileListSend FormFileListSend(TForm1& form, TTI92& link);
