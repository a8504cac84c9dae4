#include "app/dialogs/TAboutForm.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <chrono>

#include "app/desktop/Shell.h"
#include "app/window/SvgPicture.h"
#include "app/window/TipFile.h"
#include "app/window/WebAddresses.h"

TAboutForm::TAboutForm(Shell& shell, std::string hintsFile, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog),
      fShell(shell), fHintsFile(std::move(hintsFile)),
      fRandom(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()))
{
    setObjectName("AboutForm");
    setWindowTitle("About!");
    setFixedSize(kDesignedWidth, kDesignedHeight);
    setAutoFillBackground(true);
    DrawTip = [this](int n) { return std::uniform_int_distribution<int>(0, n - 1)(fRandom); };
    OpenAddress = [this](const std::string& url) { fShell.OpenAddress(url); };

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Raised);

    Picture = new QLabel(frame);
    Picture->setPixmap(SvgPicture("logo", 82, 54));
    Picture->setFixedSize(84, 56);

    ProgramName = new QLabel("Linkwise", frame);
    QFont nameFont("Arial", 20, QFont::Bold);
    ProgramName->setFont(nameFont);
    ProgramName->setStyleSheet("color: navy;");
    Version = new QLabel("v1.0", frame);

    InfoLine = new QLabel(QString("All information about the program is availible at: ") +
                              kInformationAddress,
                          frame);
    InfoLine->setWordWrap(true);
    GetThereBtn = new QPushButton("&Get there!", frame);

    Panel2 = new QFrame(frame);
    Panel2->setObjectName("Panel2");
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Sunken);
    Panel2->setStyleSheet("QFrame#Panel2 { background: rgb(0,117,151); }");
    TipPicture = new QLabel(Panel2);
    TipPicture->setPixmap(SvgPicture("tip", 22, 22));
    TipText = new QPlainTextEdit("Tip of the day!", Panel2);
    TipText->setObjectName("TipText");
    TipText->setReadOnly(true);
    TipText->setFrameShape(QFrame::NoFrame);
    TipText->setStyleSheet("background: rgb(0,117,151); color: white;");
    TipText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TipText->setFont(QFont("Arial", 8));
    NextTipBtn = new QPushButton(">>", Panel2);
    NextTipBtn->setToolTip("Next tip!");
    NextTipBtn->setFixedWidth(28);
    auto* tipLayout = new QHBoxLayout(Panel2);
    tipLayout->setContentsMargins(3, 1, 3, 1);
    tipLayout->addWidget(TipPicture);
    tipLayout->addWidget(TipText, 1);
    tipLayout->addWidget(NextTipBtn);

    CloseLabel = new QLabel("This window will close in 4 seconds.", frame);
    CloseLabel->setFont(QFont("Arial", 8, -1, true));
    CloseLabel->setToolTip("If you click on the tip, the window will stay open!");
    CloseBtn = new QPushButton("&Close", frame);
    CloseBtn->setDefault(true);

    auto* head = new QHBoxLayout;
    head->addWidget(Picture);
    auto* names = new QVBoxLayout;
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(ProgramName);
    nameRow->addWidget(Version, 0, Qt::AlignBottom);
    nameRow->addStretch();
    names->addLayout(nameRow);
    names->addWidget(InfoLine);
    head->addLayout(names, 1);
    auto* infoRow = new QHBoxLayout;
    infoRow->addStretch();
    infoRow->addWidget(GetThereBtn);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(CloseLabel, 1);
    // Right-aligned at its own size, also once the label beside it is hidden.
    bottom->addWidget(CloseBtn, 0, Qt::AlignRight);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(8, 6, 8, 6);
    inner->addLayout(head);
    inner->addLayout(infoRow);
    inner->addWidget(Panel2);
    inner->addLayout(bottom);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    Timer1 = new QTimer(this);
    Timer1->setInterval(4000);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TAboutForm::Timer1Timer);
    connect(NextTipBtn, &QPushButton::clicked, this, &TAboutForm::PickTip);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(GetThereBtn, &QPushButton::clicked, this,
            [this] { OpenAddress(kInformationAddress); });
    for (QWidget* w : {static_cast<QWidget*>(ProgramName), static_cast<QWidget*>(InfoLine),
                       static_cast<QWidget*>(Picture), static_cast<QWidget*>(Panel2),
                       static_cast<QWidget*>(TipPicture), static_cast<QWidget*>(CloseLabel)})
        w->installEventFilter(this);

    PickTip();
    Timer1->start();
}

void TAboutForm::PickTip()
{
    std::string tip = PickTipFrom(fHintsFile, DrawTip);
    TipText->setPlainText(QString::fromLocal8Bit(tip.data(), static_cast<qsizetype>(tip.size())));
    TipText->setToolTip(TipText->toPlainText());
    FitTip();
}

void TAboutForm::FitTip()
{
    // The tip panel and the information line grow with their text, and the
    // box with them, so every line shows; the box is never smaller than designed.
    layout()->activate();   // the tip's width follows from the box's fixed width
    const int width = TipText->viewport()->width() > 50 ? TipText->viewport()->width() : kTipTextWidth;
    QTextDocument measure;
    measure.setDefaultFont(TipText->font());
    QTextOption wrap;
    wrap.setWrapMode(TipText->wordWrapMode());
    measure.setDefaultTextOption(wrap);
    measure.setDocumentMargin(TipText->document()->documentMargin());
    measure.setPlainText(TipText->toPlainText());
    measure.setTextWidth(width);
    const int twoLines = 2 * TipText->fontMetrics().lineSpacing() + static_cast<int>(2 * measure.documentMargin());
    TipText->setFixedHeight(std::max(static_cast<int>(std::ceil(measure.size().height())), twoLines) + 2);
    const int infoWidth = InfoLine->width() > 50 ? InfoLine->width() : kInfoLineWidth;
    InfoLine->setMinimumHeight(InfoLine->heightForWidth(infoWidth));
    layout()->activate();
    setFixedSize(kDesignedWidth, std::max(kDesignedHeight, sizeHint().height()));
}

void TAboutForm::KeepOpen()
{
    Timer1->stop();
    CloseLabel->hide();
}

void TAboutForm::Timer1Timer()
{
    close();
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        KeepOpen();
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FitTip();   // now with the tip's real width
    CloseBtn->setFocus();
}

void TAboutForm::done(int result)
{
    KeepOpen();
    QDialog::done(result);
}
