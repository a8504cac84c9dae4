#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

class Shell;

// "--register" and "--unregister" of the window program: the user's own
// registration for the TI-92 file types, made only when asked for and only
// where no installed package provides the entries. Used by main() before the
// window opens; failures are reported, never thrown.

enum class RegistrationRequest { Register, Unregister };

// The request among the parameters (before a "--"); nothing when there is none.
std::optional<RegistrationRequest> FindRegistrationRequest(const std::vector<std::string>& params);

// Carries out the request through the shell, says what was done on `out` or
// what failed on `err`, and gives the exit status (0 or 1).
int CarryOutRegistration(RegistrationRequest request, Shell& shell, std::ostream& out, std::ostream& err);
