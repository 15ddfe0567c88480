// Stand-ins for the feature entry points until their real modules land; each does nothing.
#include "ui/features.h"

void RecordPageOnTreeSelChanged(BrowserWindow *, NMTREEVIEWA *) {}
void SearchOnFind(BrowserWindow *, int) {}
void SearchOnGetDispInfo(BrowserWindow *, NMLVDISPINFOA *) {}
void SearchOnItemActivate(BrowserWindow *, NMITEMACTIVATE *) {}
void HelpOnInfoButton(BrowserWindow *) {}
LRESULT NavigateOnLink(BrowserWindow *, ENLINK *) { return 0; }
void NavigateOnCommand(BrowserWindow *, int) {}
void NavigateOnBackspace(BrowserWindow *) {}
