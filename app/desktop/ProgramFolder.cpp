#include "app/desktop/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/settings/DataPlaces.h"

namespace {

QString ExecutableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

std::string WithSlash(const QString& dir)
{
    return QDir::cleanPath(dir).toStdString() + "/";
}

}  // namespace

std::string ShippedDataFolder()
{
    return WithSlash(ExecutableFolder() + "/../share/linkwise");
}

std::string ShippedDataFile(const std::string& name)
{
    const QString n = QString::fromStdString(name);
    const QString shipped = QString::fromStdString(ShippedDataFolder()) + n;
    const QStringList candidates = {
        ExecutableFolder() + "/" + n,
        shipped,
        QString::fromStdString(UserDataFolder()) + n,
    };
    for (const QString& c : candidates)
        if (QFileInfo::exists(c))
            return QDir::cleanPath(c).toStdString();
    return shipped.toStdString();
}

std::string HelpFolder()
{
    return WithSlash(ExecutableFolder() + "/../share/doc/linkwise/html");
}

std::string RuntimeFolder()
{
    // Qt falls back to a private runtime-$USER folder under TMPDIR when
    // XDG_RUNTIME_DIR is not set.
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/linkwise";
    QDir().mkpath(dir);
    return WithSlash(dir);
}
