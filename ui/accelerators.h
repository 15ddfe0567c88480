// Keyboard shortcuts of the browser window: one accelerator table, translated in the message loop
// whichever control has the focus, and the commands that only these keys give.
#pragma once
#include <windows.h>
#include <cstdint>

struct BrowserWindow;

// Commands of the keys that no button or menu item has (the others send the button's own id).
enum : int32_t {
    IDM_KEY_FIND = 700,        // Ctrl+F: the "Find" tab, its edit focused with the text selected
    IDM_KEY_SELECT_ALL = 702,  // Ctrl+A: everything in the focused edit or viewer selected
    IDM_KEY_NEXT_TAB = 704,    // Ctrl+Tab
    IDM_KEY_PREVIOUS_TAB = 706,  // Ctrl+Shift+Tab
};

// The table of every shortcut; null when the system has no room for it (the keys then do
// nothing and typing still works).
HACCEL AcceleratorsCreate();
// Translates msg when it is a shortcut pressed in a browser window or one of its controls; true
// when it was one and has been handled (the caller then neither translates nor dispatches it).
bool AcceleratorsTranslate(HACCEL table, MSG *msg);
// WM_COMMAND of the IDM_KEY_* commands.
void AcceleratorsOnCommand(BrowserWindow *w, int32_t id);
