#include "app/desktop/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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

std::string UserDataFolder()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/linkwise";
    QDir().mkpath(dir);
    return WithSlash(dir);
}

std::string ProgramFolder()
{
    const QString dir = ExecutableFolder();
    QFileInfo info(dir);
    if (!info.isDir() || !info.isWritable())
        return UserDataFolder();
    return WithSlash(dir);
}

std::string ShippedDataFolder()
{
    return WithSlash(ExecutableFolder() + "/../share/linkwise");
}

std::string ShippedDataFile(const std::string& name)
{
    const QString n = QString::fromStdString(name);
    const QString beside = ExecutableFolder() + "/" + n;
    const QStringList candidates = {
        beside,
        QString::fromStdString(ProgramFolder()) + n,
        QString::fromStdString(ShippedDataFolder()) + n,
    };
    for (const QString& c : candidates)
        if (QFileInfo::exists(c))
            return QDir::cleanPath(c).toStdString();
    return beside.toStdString();
}
