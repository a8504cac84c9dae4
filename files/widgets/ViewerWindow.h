#pragma once
#include <QWidget>
#include <functional>
#include <string>

class Dialogs;
class QAction;
class QMenu;
class QMenuBar;
class QStatusBar;
class QVBoxLayout;

// Where a viewer window sits and whether it stays on top.
struct ViewerGeometry {
    int top = 0, left = 0, width = 150, height = 130;
    bool stayOnTop = true;
};

// What the text and picture viewers share: a sizeable tool window with a
// "&File" menu (Stay on top, Save as, Close), an "&Edit" menu (Copy), a
// one-panel status bar and a stored placement.
class ViewerWindow : public QWidget {
    Q_OBJECT
public:
    // The file menu's save item reads saveText ("&Save as.." or "Save as..").
    ViewerWindow(Dialogs& dialogs, const QString& caption, const QString& firstStatus, const QString& saveText,
                 QWidget* parent);

    // Applies a stored placement. A top beyond the screen or negative becomes
    // defaultTop, a left beyond the screen or negative defaultLeft.
    void Place(const ViewerGeometry& stored, int defaultTop, int defaultLeft, QSize screen);
    ViewerGeometry Geometry() const { return fGeometry; }
    // Called whenever the placement changes, so it can be stored.
    std::function<void(const ViewerGeometry&)> onGeometryChanged;

    void onStayOnTopClicked();
    void SetStatus(const std::string& text);
    std::string Status() const;

    QMenuBar* viewerMenuBar;
    QMenu* fileMenu;
    QAction* stayOnTopAction;
    QAction* saveAsAction;
    QAction* closeAction;
    QMenu* editMenu;
    QAction* copyAction;
    QStatusBar* statusLine;

protected:
    virtual void onSaveAsClicked() = 0;
    virtual void onCopyClicked() = 0;
    QVBoxLayout* Body() const { return fBody; }
    Dialogs& fDialogs;

    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Remember();
    QVBoxLayout* fBody;
    ViewerGeometry fGeometry;
};
