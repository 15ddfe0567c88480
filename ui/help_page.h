// Help page: the "Info" text with its LINK tags shown in the viewer, and the "Create Icon"
// action that places a shortcut to the program on the user's desktop.
#pragma once
#include <cstdint>

struct BrowserWindow;

enum : int32_t {
    HELP_TAG_NAME_CHARS = 41,  // a tag name longer than this ends here; the rest is argument
};

// Shows helpText: plain runs as they are, the argument of each LINK tag (any case) as a link,
// every other tag dropped with its argument. Empties the link table; pushes no history.
// 0; ERR_NULLPTR; ERR_NULLPTRIN without help text or viewer output.
int32_t ShowHelpPage(BrowserWindow *w);

// Creates the desktop shortcut unless a working one exists, and tells the user which happened
// in a box captioned "Info". 0 (also when the box reports a failure); ERR_NULLPTR; the path
// errors of BuildShortcutPath; ERR_NULLPTRIN without the module's path.
int32_t CreateDesktopIcon(BrowserWindow *w);
