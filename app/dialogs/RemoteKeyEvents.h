#pragma once

class QKeyEvent;

// The remote keyboard works in the terms of the keyboard it was made for:
// a key press may type a character, and every key has a virtual-key code.
// These map Qt's key events onto those terms.

// The character a key press types (1..255), or -1 when it types none:
// Enter 13, Backspace 8, Escape 27, Tab 9, otherwise the Latin-1 character
// of the event's text. Keys such as Delete, the arrows and F1..F8 type
// nothing; with Ctrl or Alt held nothing is typed.
int TypedCharacter(const QKeyEvent& event);

// The virtual-key code of the key: letters and digits by their upper-case
// character, Page Up 33, Page Down 34, End 35, Home 36, arrows 37..40,
// Insert 45, Delete 46, F1..F24 112.., Shift 16, Ctrl 17, Alt 18, and so on;
// 0 for keys the remote keyboard has no use for.
int VirtualKeyOf(const QKeyEvent& event);
