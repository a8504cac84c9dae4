#include "app/desktop/Shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "app/desktop/DesktopFiles.h"
#include "app/desktop/FreedesktopRegistration.h"

bool QtShell::OpenAddress(const std::string& url)
{
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

bool QtShell::OpenFile(const std::string& path)
{
    const QFileInfo file(QString::fromStdString(path));
    if (!file.isFile())
        return false;
    if (file.isExecutable())
        return QProcess::startDetached(file.absoluteFilePath(), {}, file.absolutePath());
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

bool QtShell::FileTypesRegistered()
{
    return UserRegistrationFound(UserDesktopFolders());
}

void QtShell::RegisterFileTypes()
{
    ::RegisterFileTypes(UserDesktopFolders(), QCoreApplication::applicationFilePath().toStdString());
}

void QtShell::UnregisterFileTypes()
{
    ::UnregisterFileTypes(UserDesktopFolders());
}

std::string QtShell::InstalledEntriesFolder()
{
    return ::InstalledEntriesFolder();
}
