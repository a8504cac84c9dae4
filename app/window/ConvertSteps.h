#pragma once

class Dialogs;
class TForm1;

// The convert task on the wizard: entering the convert page converts the
// text file in ConvertFile into the TI-92 text file in ConvertTo, asking for
// the target first when ConvertTo is empty.
void InstallConvertSteps(TForm1& form, Dialogs& dialogs);
