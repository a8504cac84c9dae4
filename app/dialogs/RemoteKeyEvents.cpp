#include "app/dialogs/RemoteKeyEvents.h"

#include <QKeyEvent>

#include "transfers/RemoteKeyboard.h"

int TypedCharacter(const QKeyEvent& event)
{
    const int key = event.key();
    const Qt::KeyboardModifiers mods = event.modifiers();
    // Ctrl and Alt combinations type nothing the calculator knows; Ctrl+Z
    // must not leave a character behind for the next key release.
    if (mods & (Qt::AltModifier | Qt::ControlModifier))
        return -1;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Delete:
        return -1;  // its text is DEL; it types nothing
    default:
        break;
    }
    const QString text = event.text();
    if (text.size() != 1)
        return -1;
    const ushort c = text.at(0).unicode();
    return c >= 32 && c <= 255 && c != 127 ? c : -1;
}

int VirtualKeyOf(const QKeyEvent& event)
{
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;  // Qt's codes are the upper-case characters
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return VirtualKey::F1 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return VirtualKey::Back;
    case Qt::Key_Tab:
        return VirtualKey::Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VirtualKey::Return;
    case Qt::Key_Shift:
        return VirtualKey::Shift;
    case Qt::Key_Control:
        return VirtualKey::Control;
    case Qt::Key_Alt:
        return VirtualKey::Menu;
    case Qt::Key_Escape:
        return VirtualKey::Escape;
    case Qt::Key_Space:
        return VirtualKey::Space;
    case Qt::Key_PageUp:
        return VirtualKey::Prior;
    case Qt::Key_PageDown:
        return VirtualKey::Next;
    case Qt::Key_End:
        return VirtualKey::End;
    case Qt::Key_Home:
        return VirtualKey::Home;
    case Qt::Key_Left:
        return VirtualKey::Left;
    case Qt::Key_Up:
        return VirtualKey::Up;
    case Qt::Key_Right:
        return VirtualKey::Right;
    case Qt::Key_Down:
        return VirtualKey::Down;
    case Qt::Key_Insert:
        return VirtualKey::Insert;
    case Qt::Key_Delete:
        return VirtualKey::Delete;
    default:
        return 0;
    }
}
