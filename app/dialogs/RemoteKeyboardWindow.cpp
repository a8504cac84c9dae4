#include "app/dialogs/RemoteKeyboardWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "app/dialogs/RemoteKeyEvents.h"
#include "app/settings/SettingsStore.h"
#include "link/Ti92Link.h"

namespace {

const char* const kHelpLines[] = {
    "Any key you press will be ",
    "sent to the calculator.",
    "To close this window, press ",
    "Ctrl+W (or Ctrl+Z)",
    "Here is the list of all keys ",
    "that you can press:",
    "TI92\t- PC",
    "-------\t------------",
    "alpha\talpha",
    "arrows\tarrows",
    "f1-f8\tf1-f8",
    "APPS\tHOME",
    "STO->\tEND",
    "MODE\tPage Up",
    "CLEAR\tPage Down",
};

}  // namespace

RemoteKeyboardWindow::RemoteKeyboardWindow(Ti92Link& link, SettingsStore& settings, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      keyboard(link), fSettings(settings)
{
    setObjectName("RemoteKeyboardWindow");
    setWindowTitle("Remote control");

    title = new QLabel("Remote control", this);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 5);
    big.setBold(true);
    title->setFont(big);
    title->setStyleSheet("color: navy;");

    keyLog = new QPlainTextEdit(this);
    keyLog->setReadOnly(true);
    QString help;
    for (const char* line : kHelpLines)
        help += QString::fromLatin1(line) + "\n";
    help.chop(1);
    keyLog->setPlainText(help);
    keyLog->setTabStopDistance(keyLog->fontMetrics().horizontalAdvance("CLEAR  "));

    statusLabel = new QLabel("(idle)", this);
    statusLabel->setObjectName("statusLabel");

    // The window sees every key: nothing in it takes the focus.
    keyLog->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    l->setSpacing(2);
    l->addWidget(title);
    l->addWidget(keyLog, 1);
    l->addWidget(statusLabel);
    // The designed client area, grown where the fonts need more room.
    resize(std::max(kClientWidth, sizeHint().width()), std::max(kClientHeight, 2 * kClientHeight));

    keyboard.ShowStatus = [this](const std::string& text) { statusLabel->setText(QString::fromStdString(text)); };
    Place();
}

RemoteKeyboardWindow::~RemoteKeyboardWindow()
{
    StorePlace();
}

void RemoteKeyboardWindow::Place()
{
    int left = ReadInteger(fSettings, "Last", "Remote Left", -1);
    int top = ReadInteger(fSettings, "Last", "Remote Top", -1);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->geometry().size() : QSize(1024, 768);
    if (left < 0 || left > area.width() - width())
        left = area.width() / 2 - width() / 2;
    if (top < 0 || top > area.height() - height())
        top = area.height() / 2 - height() / 2;
    move(left, top);
}

void RemoteKeyboardWindow::StorePlace()
{
    WriteInteger(fSettings, "Last", "Remote Left", x());
    WriteInteger(fSettings, "Last", "Remote Top", y());
}

void RemoteKeyboardWindow::ShowRemote()
{
    show();
    raise();
    activateWindow();
    setFocus();
}

void RemoteKeyboardWindow::showEvent(QShowEvent* e)
{
    keyboard.Shown();
    if (!keyboard.Sending())
        statusLabel->setText("(idle)");
    QWidget::showEvent(e);
}

void RemoteKeyboardWindow::hideEvent(QHideEvent* e)
{
    StorePlace();
    QWidget::hideEvent(e);
}

bool RemoteKeyboardWindow::event(QEvent* e)
{
    // Before any focus handling, so Tab and Escape reach the calculator too.
    if (e->type() == QEvent::KeyPress) {
        onKeyDown(static_cast<QKeyEvent&>(*e));
        return true;
    }
    if (e->type() == QEvent::KeyRelease) {
        onKeyUp(static_cast<QKeyEvent&>(*e));
        return true;
    }
    if (e->type() == QEvent::ShortcutOverride) {
        e->accept();  // no shortcut of the main window takes a key from here
        return true;
    }
    return QWidget::event(e);
}

void RemoteKeyboardWindow::onKeyDown(QKeyEvent& e)
{
    fModifiersAtPress[e.key()] = e.modifiers();
    const int c = TypedCharacter(e);
    if (c > 0)
        keyboard.KeyPress(static_cast<uint8_t>(c));
}

void RemoteKeyboardWindow::onKeyUp(QKeyEvent& e)
{
    // A held key repeats its press; it is sent once, when it is let go.
    if (e.isAutoRepeat())
        return;
    // The modifiers held when the key went down: Ctrl+W or Ctrl+Z hides the window
    // also when Ctrl is let go first.
    const auto pressed = fModifiersAtPress.find(e.key());
    const Qt::KeyboardModifiers mods = pressed != fModifiersAtPress.end() ? pressed->second : e.modifiers();
    if (pressed != fModifiersAtPress.end())
        fModifiersAtPress.erase(pressed);
    const ShiftState shift{(mods & Qt::ShiftModifier) != 0, (mods & Qt::ControlModifier) != 0,
                           (mods & Qt::AltModifier) != 0};
    const int key = VirtualKeyOf(e);
    if (linkBusy && linkBusy() && !RemoteKeyboard::IsCloseKey(key, shift)) {
        statusLabel->setText("(busy: a transfer is running)");
        keyboard.Shown();
        return;
    }
    if (keyboard.KeyRelease(key, shift))
        hide();
}
