#include "app/cli/DoctorCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <ostream>

#include "app/cli/CliLink.h"
#include "app/cli/CliSettings.h"
#include "app/cli/ConsoleDialogs.h"
#include "app/settings/IniSettingsStore.h"
#include "link/CableDoctor.h"
#include "link/DoctorCandidates.h"
#include "link/PosixDoctorSystem.h"

namespace {

Cable CableOf(CliCable cable)
{
    switch (cable) {
    case CliCable::Parallel:
        return Cable::Parallel;
    case CliCable::Black:
        return Cable::Black;
    case CliCable::Usb:
        return Cable::Usb;
    case CliCable::Serial:
        break;
    }
    return Cable::Grey;
}

// The window stores 0 for the parallel cable, 1 grey, 2 black, 3 USB.
int StoredCableType(Cable cable)
{
    return cable == Cable::Parallel ? 0 : cable == Cable::Black ? 2 : cable == Cable::Usb ? 3 : 1;
}

// The device a cable and port number lead to.
std::string DeviceOf(const CliOptions& o)
{
    if (o.cable == CliCable::Parallel)
        return "/dev/parport" + std::to_string(o.port - 1);
    if (o.cable == CliCable::Usb)
        return o.device.empty() ? "usb" : o.device;
    return CliLink::SerialDevicePath(o);
}

DoctorRequest RequestOf(const CliOptions& options, SettingsStore& settings, int& settingsPort)
{
    DoctorRequest request;
    if (options.cableGiven)
        request.cable = CableOf(options.cable);
    if (options.portGiven)
        request.device = DeviceOf(options);
    // Settings that were never saved name no device: the standard one would
    // be an on-board port nobody chose.
    CliOptions plain;
    const CliOptions stored = WithWindowSettings(plain, settings);
    settingsPort = stored.port;
    request.settingsCable = CableOf(stored.cable);
    if (settings.Read("Settings", "Cabletype") && stored.cable != CliCable::Usb)
        request.settingsDevice = DeviceOf(stored);
    if (options.portGiven && !options.cableGiven && stored.cable == CliCable::Parallel)
        request.settingsCable = Cable::Grey;
    return request;
}

QJsonArray JsonRows(const DoctorReport& report)
{
    QJsonArray rows;
    for (const DoctorRow& row : report.rows) {
        QJsonArray checks;
        for (const DoctorCheck& c : row.checks)
            checks.append(QJsonObject{{"name", QString::fromStdString(c.name)},
                                      {"ok", c.ok},
                                      {"detail", QString::fromStdString(c.detail)},
                                      {"remedy", QString::fromStdString(c.remedy)}});
        const DoctorCandidate& d = row.candidate;
        rows.append(QJsonObject{{"device", QString::fromStdString(d.device)},
                                {"byId", d.byId.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(d.byId))},
                                {"cable", DoctorCableName(d.cable)},
                                {"checks", checks},
                                {"answered", row.answered}});
    }
    return rows;
}

void PrintTable(std::ostream& out, const DoctorReport& report)
{
    if (report.rows.empty())
        return;
    size_t width = 6;
    for (const DoctorRow& row : report.rows)
        width = std::max(width, row.candidate.device.size());
    const auto pad = [](const std::string& s, size_t w) {
        return s + std::string(w > s.size() ? w - s.size() : 0, ' ');
    };
    out << pad("DEVICE", width) << "  CABLE     FOUND / WHAT TO DO\n";
    for (const DoctorRow& row : report.rows) {
        const DoctorCheck& last = row.Last();
        out << pad(row.candidate.device, width) << "  " << pad(DoctorCableName(row.candidate.cable), 8) << "  "
            << last.detail << '\n';
        const std::string indent(width + 12, ' ');
        if (!row.candidate.description.empty())
            out << indent << "(" << row.candidate.description << ")\n";
        if (!last.ok)
            out << indent << "-> " << last.remedy << '\n';
    }
}

void Save(CliContext& context, const DoctorCandidate& found, int settingsPort)
{
    IniSettingsStore settings(CliSettingsPath());
    const char* S = "Settings";
    WriteInteger(settings, S, "Cabletype", StoredCableType(found.cable));
    if (found.cable == Cable::Parallel) {
        WriteInteger(settings, S, "Port", std::max(0, found.device.back() - '0'));
    } else {
        // The port the settings use keeps its number; its device is the one
        // found, by its stable name. The USB cable is found again wherever
        // it is plugged in.
        const int port = settingsPort >= 1 && settingsPort <= 4 ? settingsPort : 1;
        WriteInteger(settings, S, "Port", port - 1);
        const std::string device = found.cable == Cable::Usb ? "" : found.byId.empty() ? found.device : found.byId;
        settings.Write(S, "Device of COM Port " + std::to_string(port), device);
    }
    settings.Flush();
    context.Note("saved: the " + std::string(DoctorCableName(found.cable)) + " cable" +
                 (found.cable == Cable::Usb ? "" : " on " + (found.byId.empty() ? found.device : found.byId)));
}

}  // namespace

int FindCalculator(CliContext& context, bool json, bool save, DoctorSystem& system, Clock& clock)
{
    IniSettingsStore settings(CliSettingsPath());
    int settingsPort = 1;
    const DoctorRequest request = RequestOf(context.options, settings, settingsPort);
    const std::vector<DoctorCandidate> candidates = DoctorCandidates(request, system);

    NullEventPump pump;
    ConsoleDialogs dialogs(context.err, "linkwise-cli: doctor: ", context.options.verbose);
    CableDoctor doctor(system, clock, pump, dialogs);
    doctor.timeoutMs = std::min(context.options.timeoutMs, 1000);
    doctor.onTrying = [&context](const DoctorCandidate& c) {
        context.Note("trying " + c.device + " (" + DoctorCableName(c.cable) + " cable)");
    };
    const DoctorReport report = doctor.Run(candidates);

    if (json) {
        context.out << QJsonDocument(JsonRows(report)).toJson(QJsonDocument::Indented).toStdString();
        context.err << report.VerdictLine() << '\n';
    } else {
        PrintTable(context.out, report);
        context.out << report.VerdictLine() << '\n';
    }
    if (save) {
        if (const DoctorRow* found = report.Found())
            Save(context, found->candidate, settingsPort);
        else
            context.Note("nothing saved: no calculator answered");
    }
    switch (report.verdict) {
    case DoctorVerdict::Answered:
        return exitstatus::kSuccess;
    case DoctorVerdict::NoAnswer:
        return exitstatus::kRefused;
    default:
        return exitstatus::kError;
    }
}

int RunDoctor(CliContext& context, const ParsedOptions& args)
{
    if (!args.positional.empty())
        throw CliUsageError("takes no arguments, not '" + args.positional.front() + "'");
    PosixDoctorSystem system;
    SteadyClock clock;
    return FindCalculator(context, args.Has("json"), args.Has("save"), system, clock);
}
