#include "app/settings/DataPlaces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

std::string WithSlash(const QString& dir)
{
    return QDir::cleanPath(dir).toStdString() + "/";
}

std::string MadeFolder(const QString& dir)
{
    QDir().mkpath(dir);
    return WithSlash(dir);
}

QString RunningExecutableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
}

}  // namespace

std::string UserDataFolder()
{
    return MadeFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/linkwise");
}

std::string StoredFargoLibraryFolder(SettingsStore& settings, int version, const std::string& dataFolder)
{
    const std::string name = "Fargo" + std::to_string(version) + " Librarydir";
    const std::string stored = ReadText(settings, "Settings", name, "");
    if (stored.empty() || IsProgramFolder(stored))
        return MadeFolder(QString::fromStdString(dataFolder) + "/fargo" + QString::number(version));
    return stored;
}

bool IsProgramFolder(const std::string& folder)
{
    const QString dir = QDir::cleanPath(QString::fromStdString(folder));
    if (dir.isEmpty())
        return false;
    const QString running = RunningExecutableFolder();
    if (!running.isEmpty() && QDir::cleanPath(running) == dir)
        return true;
    const QFileInfo window(dir + "/linkwise");
    return window.isFile() && window.isExecutable();
}
