#include "app/dialogs/AboutBox.h"

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
#include <chrono>
#include <cmath>

#include "app/desktop/Shell.h"
#include "app/window/SvgPicture.h"
#include "app/window/TipFile.h"
#include "app/window/WebAddresses.h"

AboutBox::AboutBox(Shell& shell, std::string hintsFile, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Dialog), fShell(shell),
      fHintsFile(std::move(hintsFile)),
      fRandom(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()))
{
    setObjectName("AboutBox");
    setWindowTitle("About!");
    setFixedSize(kDesignedWidth, kDesignedHeight);
    setAutoFillBackground(true);
    drawTip = [this](int n) { return std::uniform_int_distribution<int>(0, n - 1)(fRandom); };
    openAddress = [this](const std::string& url) { fShell.OpenAddress(url); };

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Raised);

    logoLabel = new QLabel(frame);
    logoLabel->setPixmap(SvgPicture("logo", 82, 54));
    logoLabel->setFixedSize(84, 56);

    programNameLabel = new QLabel("Linkwise", frame);
    QFont nameFont("Arial", 20, QFont::Bold);
    programNameLabel->setFont(nameFont);
    programNameLabel->setStyleSheet("color: navy;");
    versionLabel = new QLabel("v" LINKWISE_VERSION, frame);

    infoLine = new QLabel("All information about the program is in its help pages.", frame);
    infoLine->setWordWrap(true);
    getThereButton = new QPushButton("&Get there!", frame);

    tipPanel = new QFrame(frame);
    tipPanel->setObjectName("tipPanel");
    tipPanel->setFrameShape(QFrame::Panel);
    tipPanel->setFrameShadow(QFrame::Sunken);
    tipPanel->setStyleSheet("QFrame#tipPanel { background: rgb(0,117,151); }");
    tipPicture = new QLabel(tipPanel);
    tipPicture->setPixmap(SvgPicture("tip", 22, 22));
    tipText = new QPlainTextEdit("Tip of the day!", tipPanel);
    tipText->setObjectName("tipText");
    tipText->setReadOnly(true);
    tipText->setFrameShape(QFrame::NoFrame);
    tipText->setStyleSheet("background: rgb(0,117,151); color: white;");
    tipText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tipText->setFont(QFont("Arial", 8));
    nextTipButton = new QPushButton(">>", tipPanel);
    nextTipButton->setToolTip("Next tip!");
    nextTipButton->setFixedWidth(28);
    auto* tipLayout = new QHBoxLayout(tipPanel);
    tipLayout->setContentsMargins(3, 1, 3, 1);
    tipLayout->addWidget(tipPicture);
    tipLayout->addWidget(tipText, 1);
    tipLayout->addWidget(nextTipButton);

    closeLabel = new QLabel("This window will close in 4 seconds.", frame);
    closeLabel->setFont(QFont("Arial", 8, -1, true));
    closeLabel->setToolTip("If you click on the tip, the window will stay open!");
    closeButton = new QPushButton("&Close", frame);
    closeButton->setDefault(true);

    auto* head = new QHBoxLayout;
    head->addWidget(logoLabel);
    auto* names = new QVBoxLayout;
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(programNameLabel);
    nameRow->addWidget(versionLabel, 0, Qt::AlignBottom);
    nameRow->addStretch();
    names->addLayout(nameRow);
    names->addWidget(infoLine);
    head->addLayout(names, 1);
    auto* infoRow = new QHBoxLayout;
    infoRow->addStretch();
    infoRow->addWidget(getThereButton);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(closeLabel, 1);
    // Right-aligned at its own size, also once the label beside it is hidden.
    bottom->addWidget(closeButton, 0, Qt::AlignRight);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(8, 6, 8, 6);
    inner->addLayout(head);
    inner->addLayout(infoRow);
    inner->addWidget(tipPanel);
    inner->addLayout(bottom);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    closeTimer = new QTimer(this);
    closeTimer->setInterval(4000);
    closeTimer->setSingleShot(true);
    connect(closeTimer, &QTimer::timeout, this, &AboutBox::onCloseTimer);
    connect(nextTipButton, &QPushButton::clicked, this, &AboutBox::PickTip);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(getThereButton, &QPushButton::clicked, this, [this] { openAddress(kInformationAddress); });
    for (QWidget* w :
         {static_cast<QWidget*>(programNameLabel), static_cast<QWidget*>(infoLine), static_cast<QWidget*>(logoLabel),
          static_cast<QWidget*>(tipPanel), static_cast<QWidget*>(tipPicture), static_cast<QWidget*>(closeLabel)})
        w->installEventFilter(this);

    PickTip();
    closeTimer->start();
}

void AboutBox::PickTip()
{
    std::string tip = PickTipFrom(fHintsFile, drawTip);
    tipText->setPlainText(QString::fromLocal8Bit(tip.data(), static_cast<qsizetype>(tip.size())));
    tipText->setToolTip(tipText->toPlainText());
    FitTip();
}

void AboutBox::FitTip()
{
    // The tip panel and the information line grow with their text, and the
    // box with them, so every line shows; the box is never smaller than designed.
    layout()->activate();  // the tip's width follows from the box's fixed width
    const int width = tipText->viewport()->width() > 50 ? tipText->viewport()->width() : kTipTextWidth;
    QTextDocument measure;
    measure.setDefaultFont(tipText->font());
    QTextOption wrap;
    wrap.setWrapMode(tipText->wordWrapMode());
    measure.setDefaultTextOption(wrap);
    measure.setDocumentMargin(tipText->document()->documentMargin());
    measure.setPlainText(tipText->toPlainText());
    measure.setTextWidth(width);
    const int twoLines = 2 * tipText->fontMetrics().lineSpacing() + static_cast<int>(2 * measure.documentMargin());
    tipText->setFixedHeight(std::max(static_cast<int>(std::ceil(measure.size().height())), twoLines) + 2);
    const int infoWidth = infoLine->width() > 50 ? infoLine->width() : kInfoLineWidth;
    infoLine->setMinimumHeight(infoLine->heightForWidth(infoWidth));
    layout()->activate();
    setFixedSize(kDesignedWidth, std::max(kDesignedHeight, sizeHint().height()));
}

void AboutBox::KeepOpen()
{
    closeTimer->stop();
    closeLabel->hide();
}

void AboutBox::onCloseTimer()
{
    close();
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        KeepOpen();
    return QDialog::eventFilter(watched, event);
}

void AboutBox::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    FitTip();  // now with the tip's real width
    closeButton->setFocus();
}

void AboutBox::done(int result)
{
    KeepOpen();
    QDialog::done(result);
}
