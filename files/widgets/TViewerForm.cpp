#include "files/widgets/TViewerForm.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

TViewerForm::TViewerForm(Dialogs& dialogs, const QString& caption, const QString& firstStatus,
                         const QString& saveText, QWidget* parent)
    : QWidget(parent, Qt::Tool), fDialogs(dialogs)
{
    setWindowTitle(caption);
    MainMenu1 = new QMenuBar(this);
    File1 = MainMenu1->addMenu("&File");
    Stayontop1 = File1->addAction("Stay on top");
    Stayontop1->setCheckable(true);
    Saveas1 = File1->addAction(saveText);
    Close1 = File1->addAction("&Close");
    Edit1 = MainMenu1->addMenu("&Edit");
    Copy1 = Edit1->addAction("&Copy");
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->showMessage(firstStatus);

    connect(Stayontop1, &QAction::triggered, this, [this] {
        Stayontop1->setChecked(!Stayontop1->isChecked());   // the handler toggles
        StayOnTopClick();
    });
    connect(Saveas1, &QAction::triggered, this, [this] { SaveAsClick(); });
    connect(Close1, &QAction::triggered, this, &QWidget::hide);
    connect(Copy1, &QAction::triggered, this, [this] { CopyClick(); });

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(0);
    l->setMenuBar(MainMenu1);
    fBody = new QVBoxLayout;
    l->addLayout(fBody, 1);
    l->addWidget(StatusBar1);
}

void TViewerForm::Place(const ViewerGeometry& stored, int defaultTop, int defaultLeft, QSize screen)
{
    ViewerGeometry g = stored;
    if (g.top > screen.height() || g.top < 0)
        g.top = defaultTop;
    if (g.left > screen.width() || g.left < 0)
        g.left = defaultLeft;
    resize(std::max(g.width, 50), std::max(g.height, 50));
    move(g.left, g.top);
    Stayontop1->setChecked(!g.stayOnTop);
    fGeometry = g;
    StayOnTopClick();
}

void TViewerForm::StayOnTopClick()
{
    const bool wasOnTop = Stayontop1->isChecked();
    Stayontop1->setChecked(!wasOnTop);
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, !wasOnTop);
    if (visible)
        show();   // changing the flags hides the window
    Remember();
}

void TViewerForm::SetStatus(const std::string& text)
{
    StatusBar1->showMessage(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string TViewerForm::Status() const
{
    QByteArray bytes = StatusBar1->currentMessage().toUtf8();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

void TViewerForm::moveEvent(QMoveEvent* e)
{
    QWidget::moveEvent(e);
    Remember();
}

void TViewerForm::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    Remember();
}

void TViewerForm::Remember()
{
    fGeometry = {y(), x(), width(), height(), Stayontop1->isChecked()};
    if (onGeometryChanged)
        onGeometryChanged(fGeometry);
}
