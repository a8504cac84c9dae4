#include "files/widgets/ViewerWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

ViewerWindow::ViewerWindow(Dialogs& dialogs, const QString& caption, const QString& firstStatus,
                           const QString& saveText, QWidget* parent)
    : QWidget(parent, Qt::Tool), fDialogs(dialogs)
{
    setWindowTitle(caption);
    viewerMenuBar = new QMenuBar(this);
    fileMenu = viewerMenuBar->addMenu("&File");
    stayOnTopAction = fileMenu->addAction("Stay on top");
    stayOnTopAction->setCheckable(true);
    saveAsAction = fileMenu->addAction(saveText);
    closeAction = fileMenu->addAction("&Close");
    editMenu = viewerMenuBar->addMenu("&Edit");
    copyAction = editMenu->addAction("&Copy");
    statusLine = new QStatusBar(this);
    statusLine->setSizeGripEnabled(false);
    statusLine->showMessage(firstStatus);

    connect(stayOnTopAction, &QAction::triggered, this, [this] {
        stayOnTopAction->setChecked(!stayOnTopAction->isChecked());  // the handler toggles
        onStayOnTopClicked();
    });
    connect(saveAsAction, &QAction::triggered, this, [this] { onSaveAsClicked(); });
    connect(closeAction, &QAction::triggered, this, &QWidget::hide);
    connect(copyAction, &QAction::triggered, this, [this] { onCopyClicked(); });

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->setMenuBar(viewerMenuBar);
    fBody = new QVBoxLayout;
    l->addLayout(fBody, 1);
    l->addWidget(statusLine);
}

void ViewerWindow::Place(const ViewerGeometry& stored, int defaultTop, int defaultLeft, QSize screen)
{
    ViewerGeometry g = stored;
    if (g.top > screen.height() || g.top < 0)
        g.top = defaultTop;
    if (g.left > screen.width() || g.left < 0)
        g.left = defaultLeft;
    resize(std::max(g.width, 50), std::max(g.height, 50));
    move(g.left, g.top);
    stayOnTopAction->setChecked(!g.stayOnTop);
    fGeometry = g;
    onStayOnTopClicked();
}

void ViewerWindow::onStayOnTopClicked()
{
    const bool wasOnTop = stayOnTopAction->isChecked();
    stayOnTopAction->setChecked(!wasOnTop);
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, !wasOnTop);
    if (visible)
        show();  // changing the flags hides the window
    Remember();
}

void ViewerWindow::SetStatus(const std::string& text)
{
    statusLine->showMessage(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string ViewerWindow::Status() const
{
    QByteArray bytes = statusLine->currentMessage().toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void ViewerWindow::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    Remember();
}

void ViewerWindow::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Remember();
}

void ViewerWindow::Remember()
{
    fGeometry = {y(), x(), width(), height(), stayOnTopAction->isChecked()};
    if (onGeometryChanged)
        onGeometryChanged(fGeometry);
}
