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

}  // namespace

std::string ProgramFolder()
{
    QString dir = ExecutableFolder();
    QFileInfo info(dir);
    if (!info.isDir() || !info.isWritable()) {
        dir = QDir::homePath() + "/.local/share/linkwise";
        QDir().mkpath(dir);
    }
    return QDir::cleanPath(dir).toStdString() + "/";
}

std::string ShippedDataFile(const std::string& name)
{
    const QString n = QString::fromStdString(name);
    const QString beside = ExecutableFolder() + "/" + n;
    const QStringList candidates = {
        beside,
        QString::fromStdString(ProgramFolder()) + n,
        ExecutableFolder() + "/../share/linkwise/" + n,
    };
    for (const QString& c : candidates)
        if (QFileInfo::exists(c))
            return QDir::cleanPath(c).toStdString();
    return beside.toStdString();
}
