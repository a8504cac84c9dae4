#include "app/dialogs/TRemote.h"

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
    "Any key you press will be ", "sent to the calculator.", "To close this window, press ", "CTRL + Z",
    "Here is the list of all keys ", "that you can press:", "TI92\t- PC", "-------\t------------",
    "alpha\talpha", "arrows\tarrows", "f1-f8\tf1-f8", "APPS\tHOME", "STO->\tEND", "MODE\tPage Up",
    "CLEAR\tPage Down",
};

}  // namespace

TRemote::TRemote(Ti92Link& link, SettingsStore& settings, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      Keyboard(link),
      fSettings(settings)
{
    setObjectName("Remote");
    setWindowTitle("Remote control");

    Title = new QLabel("Remote control", this);
    QFont big = Title->font();
    big.setPointSize(big.pointSize() + 5);
    big.setBold(true);
    Title->setFont(big);
    Title->setStyleSheet("color: navy;");

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    QString help;
    for (const char* line : kHelpLines)
        help += QString::fromLatin1(line) + "\n";
    help.chop(1);
    Memo1->setPlainText(help);
    Memo1->setTabStopDistance(Memo1->fontMetrics().horizontalAdvance("CLEAR  "));

    statuslabel = new QLabel("(idle)", this);
    statuslabel->setObjectName("statuslabel");

    // The window sees every key: nothing in it takes the focus.
    Memo1->setFocusPolicy(Qt::NoFocus);
    setFocusPolicy(Qt::StrongFocus);

    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(4, 4, 4, 4);
    l->setSpacing(2);
    l->addWidget(Title);
    l->addWidget(Memo1, 1);
    l->addWidget(statuslabel);
    // The designed client area, grown where the fonts need more room.
    resize(std::max(kClientWidth, sizeHint().width()), std::max(kClientHeight, 2 * kClientHeight));

    Keyboard.ShowStatus = [this](const std::string& text) { statuslabel->setText(QString::fromStdString(text)); };
    Place();
}

TRemote::~TRemote()
{
    StorePlace();
}

void TRemote::Place()
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

void TRemote::StorePlace()
{
    WriteInteger(fSettings, "Last", "Remote Left", x());
    WriteInteger(fSettings, "Last", "Remote Top", y());
}

void TRemote::ShowRemote()
{
    show();
    raise();
    activateWindow();
    setFocus();
}

void TRemote::showEvent(QShowEvent* e)
{
    Keyboard.Shown();
    if (!Keyboard.Sending())
        statuslabel->setText("(idle)");
    QWidget::showEvent(e);
}

void TRemote::hideEvent(QHideEvent* e)
{
    StorePlace();
    QWidget::hideEvent(e);
}

bool TRemote::event(QEvent* e)
{
    // Before any focus handling, so Tab and Escape reach the calculator too.
    if (e->type() == QEvent::KeyPress) {
        KeyDown(static_cast<QKeyEvent&>(*e));
        return true;
    }
    if (e->type() == QEvent::KeyRelease) {
        KeyUp(static_cast<QKeyEvent&>(*e));
        return true;
    }
    if (e->type() == QEvent::ShortcutOverride) {
        e->accept();   // no shortcut of the main window takes a key from here
        return true;
    }
    return QWidget::event(e);
}

void TRemote::KeyDown(QKeyEvent& e)
{
    fModifiersAtPress[e.key()] = e.modifiers();
    const int c = TypedCharacter(e);
    if (c > 0)
        Keyboard.KeyPress(static_cast<uint8_t>(c));
}

void TRemote::KeyUp(QKeyEvent& e)
{
    // A held key repeats its press; it is sent once, when it is let go.
    if (e.isAutoRepeat())
        return;
    // The modifiers held when the key went down: Ctrl+Z hides the window
    // also when Ctrl is let go first.
    const auto pressed = fModifiersAtPress.find(e.key());
    const Qt::KeyboardModifiers mods = pressed != fModifiersAtPress.end() ? pressed->second : e.modifiers();
    if (pressed != fModifiersAtPress.end())
        fModifiersAtPress.erase(pressed);
    const ShiftState shift{(mods & Qt::ShiftModifier) != 0, (mods & Qt::ControlModifier) != 0,
                           (mods & Qt::AltModifier) != 0};
    const int key = VirtualKeyOf(e);
    if (LinkBusy && LinkBusy() && !(shift.ctrl && key == 'Z')) {
        statuslabel->setText("(busy: a transfer is running)");
        Keyboard.Shown();
        return;
    }
    if (Keyboard.KeyRelease(key, shift))
        hide();
}
