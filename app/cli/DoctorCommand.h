#pragma once
#include "app/cli/CliCommands.h"
#include "link/Clock.h"
#include "link/DoctorSystem.h"

// `doctor` on the given machine: finds the calculator, prints the table (or
// JSON) and the verdict, and with `save` stores the cable and device that
// answered in the window's settings. Exit 0: a calculator answered; 1: a
// usable device, but no answer; 2: no usable device.
int FindCalculator(CliContext& context, bool json, bool save, DoctorSystem& system, Clock& clock);
