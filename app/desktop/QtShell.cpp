#include "app/desktop/Shell.h"

#include <QDesktopServices>
#include <QUrl>

void QtShell::OpenAddress(const std::string& url)
{
    QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

void QtShell::OpenFile(const std::string& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}
