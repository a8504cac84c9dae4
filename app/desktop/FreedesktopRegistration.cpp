#include "app/desktop/FreedesktopRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <optional>
#include <vector>

#include "app/desktop/DesktopFiles.h"
#include "link/Exceptions.h"

namespace {

constexpr int kToolTimeoutMs = 20000;

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

void WriteText(const QString& path, const std::string& text)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) || !file.commit())
        throw EFileError("Cannot write " + path.toStdString() + ".");
}

std::string ReadText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

QProcessEnvironment ToolEnvironment(const DesktopFolders& folders)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", Q(folders.dataHome));
    env.insert("XDG_CONFIG_HOME", Q(folders.configHome));
    return env;
}

// Runs a tool when it is installed; its output, or nothing when it is
// missing or fails.
std::optional<std::string> RunTool(const DesktopFolders& folders, const QString& tool, const QStringList& arguments)
{
    const QString path = QStandardPaths::findExecutable(tool);
    if (path.isEmpty())
        return std::nullopt;
    QProcess process;
    process.setProcessEnvironment(ToolEnvironment(folders));
    process.start(path, arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput().toStdString();
}

std::string Trimmed(const std::string& s)
{
    return QString::fromStdString(s).trimmed().toStdString();
}

}  // namespace

DesktopFolders UserDesktopFolders()
{
    return {QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString(),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString()};
}

namespace {

// The ini texts are edited as bytes: lines this program does not own stay
// byte for byte, whatever their encoding.
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from)) {
        lines.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    lines.push_back(text.substr(from));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i)
        text += (i ? "\n" : "") + lines[i];
    return text;
}

std::string TrimmedBytes(const std::string& s)
{
    const size_t a = s.find_first_not_of(" \t\r\f\v");
    if (a == std::string::npos)
        return {};
    return s.substr(a, s.find_last_not_of(" \t\r\f\v") - a + 1);
}

// The key of a trimmed "key=value" line.
std::string KeyOf(const std::string& line)
{
    return TrimmedBytes(line.substr(0, line.find('=')));
}

}  // namespace

std::string SetIniValue(const std::string& text, const std::string& group, const std::string& key,
                        const std::string& value)
{
    std::vector<std::string> lines = SplitLines(text);
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    const std::string header = "[" + group + "]";
    const std::string entry = key + "=" + value;
    int groupAt = -1;
    int insertAt = -1;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        const std::string line = TrimmedBytes(lines[static_cast<size_t>(i)]);
        if (line.starts_with('[')) {
            if (groupAt >= 0)
                break;
            if (line == header)
                groupAt = insertAt = i + 1;
            continue;
        }
        if (groupAt < 0)
            continue;
        if (KeyOf(line) == key) {
            lines[static_cast<size_t>(i)] = entry;
            return JoinLines(lines) + "\n";
        }
        if (!line.empty())
            insertAt = i + 1;
    }
    if (groupAt < 0) {
        if (!lines.empty() && !TrimmedBytes(lines.back()).empty())
            lines.push_back("");
        lines.push_back(header);
        lines.push_back(entry);
    } else {
        lines.insert(lines.begin() + insertAt, entry);
    }
    return JoinLines(lines) + "\n";
}

namespace {

// Walks an ini text line by line and tells, for each raw line, whether it is
// the key's line inside the group.
template <typename Visit>
void ForEachIniLine(const std::string& text, const std::string& group, const std::string& key, Visit visit)
{
    bool inGroup = false;
    for (const std::string& raw : SplitLines(text)) {
        const std::string line = TrimmedBytes(raw);
        bool isKey = false;
        if (line.starts_with('['))
            inGroup = line == "[" + group + "]";
        else
            isKey = inGroup && line.find('=') != std::string::npos && KeyOf(line) == key;
        if (!visit(raw, isKey))
            return;
    }
}

}  // namespace

std::string IniValue(const std::string& text, const std::string& group, const std::string& key)
{
    std::string value;
    ForEachIniLine(text, group, key, [&](const std::string& raw, bool isKey) {
        if (isKey) {
            const std::string line = TrimmedBytes(raw);
            value = TrimmedBytes(line.substr(line.find('=') + 1));
        }
        return !isKey;
    });
    return value;
}

std::string RemoveIniValue(const std::string& text, const std::string& group, const std::string& key)
{
    std::vector<std::string> kept;
    ForEachIniLine(text, group, key, [&](const std::string& raw, bool isKey) {
        if (!isKey)
            kept.push_back(raw);
        return true;
    });
    return JoinLines(kept);
}

namespace {

std::string WithoutConverterPin(const std::string& defaults)
{
    if (IniValue(defaults, "Default Applications", kTextMimeType).starts_with(kConvertEntryId))
        return RemoveIniValue(defaults, "Default Applications", kTextMimeType);
    return defaults;
}

}  // namespace

void RegisterFileTypes(const DesktopFolders& folders, const std::string& program)
{
    const QString data = Q(folders.dataHome);
    const QString applications = data + "/applications";
    const QString mimeapps = Q(folders.configHome) + "/mimeapps.list";
    // The converter's entry handles no MIME type, so text files keep their
    // default; a pin of the converter by an older version goes.
    std::string defaults = WithoutConverterPin(ReadText(mimeapps));

    WriteText(data + "/mime/packages/linkwise.xml", MimePackageText());
    WriteText(applications + "/" + kSendEntryId, SendEntryText(program));
    WriteText(applications + "/" + kConvertEntryId, ConvertEntryText(program));
    for (const Ti92MimeType& m : Ti92MimeTypes())
        defaults = SetIniValue(defaults, "Default Applications", m.type, std::string(kSendEntryId) + ";");
    WriteText(mimeapps, defaults);

    RunTool(folders, "update-mime-database", {data + "/mime"});
    RunTool(folders, "update-desktop-database", {applications});
}

namespace {

QStringList RegisteredFiles(const DesktopFolders& folders)
{
    const QString data = Q(folders.dataHome);
    return {data + "/applications/" + kSendEntryId, data + "/applications/" + kConvertEntryId,
            data + "/mime/packages/linkwise.xml"};
}

}  // namespace

void UnregisterFileTypes(const DesktopFolders& folders)
{
    const QString mimeapps = Q(folders.configHome) + "/mimeapps.list";
    const std::string before = ReadText(mimeapps);
    std::string defaults = WithoutConverterPin(before);
    for (const Ti92MimeType& m : Ti92MimeTypes())
        if (IniValue(defaults, "Default Applications", m.type) == std::string(kSendEntryId) + ";")
            defaults = RemoveIniValue(defaults, "Default Applications", m.type);
    if (defaults != before)
        WriteText(mimeapps, defaults);
    for (const QString& path : RegisteredFiles(folders)) {
        QFile file(path);
        if (file.exists() && !file.remove())
            throw EFileError("Cannot remove " + path.toStdString() + ": " + file.errorString().toStdString() + ".");
    }
    RunTool(folders, "update-mime-database", {Q(folders.dataHome) + "/mime"});
    RunTool(folders, "update-desktop-database", {Q(folders.dataHome) + "/applications"});
}

bool UserRegistrationFound(const DesktopFolders& folders)
{
    return QFileInfo::exists(RegisteredFiles(folders).first());
}

std::string InstalledEntriesFolder()
{
    const QString own = QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    for (const QString& dir : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        if (QDir::cleanPath(dir) == own)
            continue;
        if (QFileInfo::exists(dir + "/applications/" + kSendEntryId))
            return QDir::cleanPath(dir).toStdString();
    }
    return {};
}

std::string DefaultApplication(const DesktopFolders& folders, const std::string& mimeType)
{
    if (auto answer = RunTool(folders, "xdg-mime", {"query", "default", Q(mimeType)}))
        return Trimmed(*answer);
    const std::string value =
        IniValue(ReadText(Q(folders.configHome) + "/mimeapps.list"), "Default Applications", mimeType);
    return Q(value).section(';', 0, 0).trimmed().toStdString();
}
