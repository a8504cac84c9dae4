#pragma once
// Files in and out of the main window by drag and drop, with the keyboard's
// Copy and Paste doing the same: files dropped or pasted on the window are
// handed to `onFiles` (the send); the selected rows of a source list are
// written as files into a private temporary folder and offered as file URLs.
// That folder stays until the next drag or copy, or the window's end, since a
// file manager may copy after the drop has ended. Failures to write are shown
// through the dialogs seam.
#include <QObject>
#include <QPoint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Dialogs;
class QAbstractItemView;
class QMimeData;
class QTemporaryDir;
class QWidget;

class FileDragDrop : public QObject {
    Q_OBJECT
public:
    // Writes the files for the list's selected rows into the folder; throws.
    using WriteFiles = std::function<std::vector<std::filesystem::path>(const std::filesystem::path& folder)>;

    FileDragDrop(QWidget& window, Dialogs& dialogs, std::function<void(const std::vector<std::string>&)> onFiles);
    ~FileDragDrop() override;

    // The list's selected rows can be dragged out and copied (Ctrl+C).
    void AddSource(QAbstractItemView* list, WriteFiles write);
    // The local files data offers; empty for anything else.
    static std::vector<std::string> LocalFiles(const QMimeData* data);
    // The list's selection written as files and offered as file URLs; nullptr,
    // after an error box, when nothing could be written.
    QMimeData* Offer(QAbstractItemView* list);
    // Copy: the offered files go to the clipboard.
    void CopySelected(QAbstractItemView* list);
    // Paste: the clipboard's files go to onFiles.
    void PasteFiles();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool SourceEvent(QAbstractItemView* list, QEvent* event);
    void StartDrag(QAbstractItemView* list);

    QWidget& fWindow;
    Dialogs& fDialogs;
    std::function<void(const std::vector<std::string>&)> fOnFiles;
    std::map<QObject*, std::pair<QAbstractItemView*, WriteFiles>> fSources;  // by viewport
    QPoint fPressedAt;
    bool fPressed = false;
    std::unique_ptr<QTemporaryDir> fOffered;
};
