#include "app/startup/RegistrationOptions.h"

#include <exception>

#include "app/desktop/Shell.h"

std::optional<RegistrationRequest> FindRegistrationRequest(const std::vector<std::string>& params)
{
    for (const std::string& p : params) {
        if (p == "--")
            break;
        if (p == "--register")
            return RegistrationRequest::Register;
        if (p == "--unregister")
            return RegistrationRequest::Unregister;
    }
    return std::nullopt;
}

int CarryOutRegistration(RegistrationRequest request, Shell& shell, std::ostream& out, std::ostream& err)
{
    const bool use = request == RegistrationRequest::Register;
    try {
        if (use) {
            // The package's entries serve every user; a copy of the user's
            // own would outlive the package.
            const std::string installed = shell.InstalledEntriesFolder();
            if (!installed.empty()) {
                out << "Linkwise is installed with its desktop entries in " << installed
                    << "; TI-92 files are offered to it without a registration of your own.\n";
                return 0;
            }
            shell.RegisterFileTypes();
            out << "TI-92 files now open with Linkwise; linkwise --unregister undoes this.\n";
        } else {
            shell.UnregisterFileTypes();
            out << "Linkwise's own registration for TI-92 files is removed.\n";
        }
        return 0;
    } catch (const std::exception& e) {
        err << "linkwise: "
            << (use ? "the registration for TI-92 files failed: " : "the registration could not be removed: ")
            << e.what() << "\n";
        return 1;
    }
}
