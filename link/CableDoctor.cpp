#include "link/CableDoctor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "link/Exceptions.h"
#include "link/PacketCheck.h"

namespace {

// The link's pump, asking the search whether Cancel was pressed, so the
// ready check's wait ends as an abort does.
class CancellingPump : public EventPump {
public:
    CancellingPump(EventPump& inner, const std::function<bool()>& cancelled) : fInner(inner), fCancelled(cancelled) {}
    void ProcessMessages() override
    {
        fInner.ProcessMessages();
        if (link && fCancelled && fCancelled())
            link->Aborted = 1;
    }
    Ti92Link* link = nullptr;

private:
    EventPump& fInner;
    const std::function<bool()>& fCancelled;
};

std::string KindWord(Cable cable)
{
    return cable == Cable::Parallel ? "a parallel port" : cable == Cable::Usb ? "a USB cable" : "a serial line";
}

std::string NameOf(const DoctorCandidate& c)
{
    return c.device.rfind("usb", 0) == 0 ? "the USB cable" : c.device;
}

DoctorCheck Passed(const char* name, const std::string& detail)
{
    return {name, true, detail, {}};
}

DoctorCheck Failed(const char* name, const std::string& detail, const std::string& remedy)
{
    return {name, false, detail, remedy};
}

std::string MissingRemedy(const DoctorCandidate& c)
{
    if (c.cable == Cable::Usb)
        return "Plug the USB cable in; `lsusb` lists it as 0451:e001.";
    if (c.cable == Cable::Parallel)
        return "Load the parallel-port driver with \"sudo modprobe ppdev\"; the port must be enabled in the "
               "firmware setup.";
    return "Is the adapter plugged in? `linkwise-cli ports` lists the serial devices present now; a device that "
           "vanished and came back under another name is there too.";
}

std::string AccessRemedy(const DoctorCandidate& c, const std::string& group)
{
    if (c.cable == Cable::Usb)
        return "Install Linkwise's udev rule (60-linkwise.rules in /usr/lib/udev/rules.d or /etc/udev/rules.d), "
               "load it with \"sudo udevadm control --reload-rules && sudo udevadm trigger\" and plug the cable "
               "in again.";
    const std::string g = group.empty() ? (c.cable == Cable::Parallel ? "lp" : "dialout") : group;
    std::string remedy = "Members of the group " + g + " may use it: add yourself with sudo usermod -aG " + g +
                         " \"$USER\", then log out and in again.";
    if (c.cable == Cable::Parallel)
        remedy += " Or install Linkwise's udev rule (60-linkwise.rules), which gives the seat's user the parallel "
                  "ports, and load it with \"sudo udevadm control --reload-rules && sudo udevadm trigger\".";
    return remedy;
}

std::string ReadyRemedy(const DoctorCandidate& c)
{
    std::string remedy = "Turn the calculator on and go to the home screen; push the cable fully into both ends; "
                         "choose the right cable type (--cable).";
    if (c.cable == Cable::Grey && c.device.find("ttyUSB") != std::string::npos)
        remedy += " Check that the adapter is not one made for the black cable only.";
    return remedy;
}

}  // namespace

const DoctorRow* DoctorReport::Found() const
{
    for (const DoctorRow& row : rows)
        if (row.answered)
            return &row;
    return nullptr;
}

std::string DoctorReport::VerdictLine() const
{
    switch (verdict) {
    case DoctorVerdict::Answered: {
        const DoctorRow& row = *Found();
        return "Calculator found: it answered on " + NameOf(row.candidate) + " through the " +
               DoctorCableName(row.candidate.cable) + " cable.";
    }
    case DoctorVerdict::NoAnswer:
        return "No calculator answered, though a usable device was found: see what to do above.";
    case DoctorVerdict::Cancelled:
        return "The search was cancelled.";
    case DoctorVerdict::NoDevice:
        break;
    }
    return rows.empty() ? "No link cable was found: no USB-serial adapter, USB cable or parallel port is present."
                        : "No usable device was found: see what to do above.";
}

const char* DoctorCableName(Cable cable)
{
    switch (cable) {
    case Cable::Parallel:
        return "parallel";
    case Cable::Black:
        return "black";
    case Cable::Usb:
        return "usb";
    case Cable::Grey:
        break;
    }
    return "grey";
}

CableDoctor::CableDoctor(DoctorSystem& system, Clock& clock, EventPump& pump, Dialogs& dialogs)
    : fSystem(system), fClock(clock), fPump(pump), fDialogs(dialogs)
{
}

DoctorReport CableDoctor::Run(const std::vector<DoctorCandidate>& candidates)
{
    DoctorReport report;
    fCancelled = false;
    bool usable = false;
    // A device that cannot be opened fails the same way for the other cable.
    std::vector<std::string> unfit;
    for (const DoctorCandidate& candidate : candidates) {
        if (Cancelled())
            fCancelled = true;
        if (fCancelled)
            break;
        if (std::find(unfit.begin(), unfit.end(), candidate.device) != unfit.end())
            continue;
        if (onTrying)
            onTrying(candidate);
        report.rows.push_back(Examine(candidate));
        const DoctorRow& row = report.rows.back();
        usable = usable || row.usable;
        if (!row.usable && row.Last().name != "modem lines")
            unfit.push_back(candidate.device);
        if (report.rows.back().answered)
            break;
    }
    report.verdict = fCancelled       ? DoctorVerdict::Cancelled
                     : report.Found() ? DoctorVerdict::Answered
                     : usable         ? DoctorVerdict::NoAnswer
                                      : DoctorVerdict::NoDevice;
    return report;
}

DoctorRow CableDoctor::Examine(const DoctorCandidate& c)
{
    DoctorRow row;
    row.candidate = c;
    auto& checks = row.checks;
    const std::string name = NameOf(c);

    const DoctorSystem::Node node = fSystem.Look(c.device);
    if (node == DoctorSystem::Node::Missing) {
        checks.push_back(
            Failed("present",
                   c.cable == Cable::Usb ? "no USB cable (0451:e001) is plugged in" : name + " does not exist",
                   MissingRemedy(c)));
        return row;
    }
    checks.push_back(Passed("present", name + " exists"));
    if (node == DoctorSystem::Node::Other) {
        checks.push_back(Failed("kind", name + " is not " + KindWord(c.cable) + " but a file or folder",
                                "Name the device of the cable (`linkwise-cli ports` lists them)."));
        return row;
    }

    // A device another program holds is left alone: opening it could upset
    // that program's conversation.
    const std::string holder = fSystem.Holder(c.device);
    const DoctorSystem::Opening opening = holder.empty() ? fSystem.TryOpen(c.device, c.cable) : DoctorSystem::Opening{};
    const int error = opening.error;
    if (error == ENOENT || error == ENXIO || error == ENODEV) {
        checks.back() = Failed("present", name + ": no device answers behind the node", MissingRemedy(c));
        return row;
    }
    if (error == ENOTTY || error == EINVAL) {
        checks.push_back(Failed("kind", name + " is not " + KindWord(c.cable),
                                c.cable == Cable::Parallel
                                    ? "Name a parallel port (/dev/parport0..3) handled by the ppdev driver."
                                    : "Name the adapter's device (`linkwise-cli ports` lists them)."));
        return row;
    }
    checks.push_back(Passed("kind", holder.empty() ? name + " is " + KindWord(c.cable) : "a character device"));
    if (error == EACCES || error == EPERM) {
        const std::string group = fSystem.Group(c.device);
        checks.push_back(
            Failed("access",
                   name + ": permission denied" + (group.empty() ? "" : " (the device's group is " + group + ")"),
                   AccessRemedy(c, group)));
        return row;
    }
    checks.push_back(Passed("access", "it may be opened"));
    if (!holder.empty() || error == EBUSY || error == EWOULDBLOCK) {
        const std::string who = holder.empty() ? fSystem.Holder(c.device) : holder;
        checks.push_back(Failed("free", name + " is in use by " + (who.empty() ? "another program" : who),
                                "Close that program, or let it finish, and try again."));
        return row;
    }
    if (error != 0) {
        checks.push_back(Failed("free", name + ": " + std::strerror(error), MissingRemedy(c)));
        return row;
    }
    checks.push_back(Passed("free", "no other program holds it"));
    if (c.cable == Cable::Black && !opening.modemLines) {
        checks.push_back(Failed("modem lines", "this adapter cannot drive a black cable",
                                "The black cable needs an adapter with modem lines (RTS, CTS, DTR, DSR); use "
                                "another adapter, or a grey cable on this one."));
        return row;
    }
    if (c.cable == Cable::Black)
        checks.push_back(Passed("modem lines", "the adapter has modem lines"));
    row.usable = true;
    CheckReady(c, row);
    return row;
}

void CableDoctor::CheckReady(const DoctorCandidate& c, DoctorRow& row)
{
    CancellingPump pump(fPump, cancelled);
    std::string why;
    const std::unique_ptr<DoctorLink> open = fSystem.OpenLink(c, fClock, pump, fDialogs, why);
    if (!open) {
        row.usable = false;
        row.checks.push_back(Failed("ready", why, MissingRemedy(c)));
        return;
    }
    Ti92Link& link = open->Link();
    pump.link = &link;
    link.TimeOut = static_cast<uint16_t>(timeoutMs);
    try {
        if (c.cable == Cable::Black || c.cable == Cable::Parallel) {
            // Both wires rest high while a calculator that is on holds the
            // other end; low, nothing the ready check sends can reach it.
            if (link.ReadLines() != 3) {
                row.checks.push_back(Failed("at rest", "the calculator is off or the cable is not plugged into it",
                                            "Turn the calculator on and push the cable fully into both ends."));
                return;
            }
            row.checks.push_back(Passed("at rest", "both wires read high"));
        }
        link.PrepareLine(100, static_cast<uint32_t>(timeoutMs));
        row.answered = link.CheckReady();
        if (row.answered)
            row.checks.push_back(Passed("ready", "the calculator answered the ready check"));
        else
            row.checks.push_back(Failed("ready", "the ready check " + AckProblem(link), ReadyRemedy(c)));
    } catch (const EUserError&) {
        fCancelled = true;
        row.checks.push_back(Failed("ready", "cancelled", "Search again."));
    } catch (const ELinkwiseError& e) {
        if (link.Aborted)
            fCancelled = true;
        std::string what = e.what();
        for (char& ch : what)
            if (ch == '\r')
                ch = ' ';
        row.checks.push_back(Failed("ready", "no answer to the ready check (" + what + ")", ReadyRemedy(c)));
    }
}
