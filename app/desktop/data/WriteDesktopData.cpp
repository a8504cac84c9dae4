// Build tool: writes the desktop entries, the MIME package and the 256 px
// icon that an installation ships, from the same texts the program uses
// when it registers itself. Usage: linkwise-desktop-data OUTDIR ICON.svg
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

#include "app/desktop/DesktopFiles.h"

namespace {

bool Write(const QString& path, const std::string& text)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "Usage: %s OUTDIR ICON.svg\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    // An installed program is found on the PATH.
    bool ok = Write(out + "/" + kSendEntryId, SendEntryText("linkwise")) &&
              Write(out + "/" + kConvertEntryId, ConvertEntryText("linkwise")) &&
              Write(out + "/linkwise.xml", MimePackageText()) &&
              Write(out + "/linkwise-convert-service.desktop", ServiceMenuText("linkwise")) &&
              Write(out + "/linkwise-convert.nemo_action", NemoActionText("linkwise"));
    QSvgRenderer svg(QString::fromLocal8Bit(argv[2]));
    QImage icon(256, 256, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    svg.render(&painter);
    painter.end();
    ok = ok && svg.isValid() && icon.save(out + "/linkwise.png");
    if (!ok)
        std::fprintf(stderr, "Cannot write the desktop data into %s\n", argv[1]);
    return ok ? 0 : 1;
}
