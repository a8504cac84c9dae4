#include "app/window/FileDragDrop.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QShortcut>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

#include "link/Dialogs.h"
#include "link/Exceptions.h"

FileDragDrop::FileDragDrop(QWidget& window, Dialogs& dialogs,
                           std::function<void(const std::vector<std::string>&)> onFiles)
    : QObject(&window), fWindow(window), fDialogs(dialogs), fOnFiles(std::move(onFiles))
{
    window.setAcceptDrops(true);
    window.installEventFilter(this);
    auto* paste = new QShortcut(QKeySequence::Paste, &window);
    connect(paste, &QShortcut::activated, this, &FileDragDrop::PasteFiles);
}

FileDragDrop::~FileDragDrop() = default;

void FileDragDrop::AddSource(QAbstractItemView* list, WriteFiles write)
{
    fSources[list->viewport()] = {list, std::move(write)};
    list->viewport()->installEventFilter(this);
    auto* copy = new QShortcut(QKeySequence::Copy, list, nullptr, nullptr, Qt::WidgetShortcut);
    connect(copy, &QShortcut::activated, this, [this, list] { CopySelected(list); });
}

std::vector<std::string> FileDragDrop::LocalFiles(const QMimeData* data)
{
    std::vector<std::string> files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            files.push_back(url.toLocalFile().toStdString());
    return files;
}

QMimeData* FileDragDrop::Offer(QAbstractItemView* list)
{
    const auto source = fSources.find(list->viewport());
    if (source == fSources.end() || list->selectionModel()->selectedRows().isEmpty())
        return nullptr;
    // The files of the last offer are no longer wanted once a new one is made.
    auto folder = std::make_unique<QTemporaryDir>();
    try {
        if (!folder->isValid())
            throw EFileError("Cannot make a temporary folder for the files: " + folder->errorString().toStdString());
        QList<QUrl> urls;
        for (const std::filesystem::path& file : source->second.second(folder->path().toStdString()))
            urls.push_back(QUrl::fromLocalFile(QString::fromStdString(file.string())));
        fOffered = std::move(folder);
        auto* data = new QMimeData;
        data->setUrls(urls);
        return data;
    } catch (const std::exception& e) {
        fDialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
        return nullptr;
    }
}

void FileDragDrop::CopySelected(QAbstractItemView* list)
{
    if (QMimeData* data = Offer(list))
        QApplication::clipboard()->setMimeData(data);
}

void FileDragDrop::PasteFiles()
{
    const std::vector<std::string> files = LocalFiles(QApplication::clipboard()->mimeData());
    if (!files.empty())
        fOnFiles(files);
}

void FileDragDrop::StartDrag(QAbstractItemView* list)
{
    QMimeData* data = Offer(list);
    if (!data)
        return;
    auto* drag = new QDrag(list);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

bool FileDragDrop::SourceEvent(QAbstractItemView* list, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        fPressed = mouse->button() == Qt::LeftButton;
        fPressedAt = mouse->position().toPoint();
    } else if (event->type() == QEvent::MouseButtonRelease) {
        fPressed = false;
    } else if (event->type() == QEvent::MouseMove && fPressed) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if ((mouse->position().toPoint() - fPressedAt).manhattanLength() >= QApplication::startDragDistance()) {
            fPressed = false;
            StartDrag(list);
            return true;
        }
    }
    return false;
}

bool FileDragDrop::eventFilter(QObject* watched, QEvent* event)
{
    if (const auto source = fSources.find(watched); source != fSources.end())
        return SourceEvent(source->second.first, event) || QObject::eventFilter(watched, event);
    if (watched != &fWindow)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (!LocalFiles(drag->mimeData()).empty())
            drag->acceptProposedAction();
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::vector<std::string> files = LocalFiles(drop->mimeData());
        if (files.empty())
            return false;
        drop->acceptProposedAction();
        fOnFiles(files);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
