#pragma once

class TForm1;
class TTI92;

// The send task of the command line: entering the transfer step sends the
// file the command line named.
void InstallSendParamSteps(TForm1& form, TTI92& link);
