// Help page: the "Info" text with its LINK tags shown in the viewer, and the "Create Icon"
// action that places a shortcut to the program on the user's desktop.
#include "ui/help_page.h"

#include <cstring>
#include <strings.h>

#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/features.h"
#include "ui/message_box.h"
#include "ui/rich_text_view.h"
#include "ui/shortcut.h"

// Writes length bytes as data, in pieces the view's buffer can hold, so nothing is cut.
static void WriteRun(RichTextView *view, const char *text, int32_t length) {
    while (length > 0) {
        int32_t piece = length < VIEW_PIECE_CHARS ? length : VIEW_PIECE_CHARS;
        RichTextViewPrint(view, "%.*s", (int)piece, text);
        text += piece;
        length -= piece;
    }
}

// Reads a tag's name after its '<': up to a blank (consumed), a '>' (left for the argument)
// or HELP_TAG_NAME_CHARS characters. Returns the position after the name.
static const char *ReadTagName(const char *p, char *name) {
    int32_t n = 0;
    while (n < HELP_TAG_NAME_CHARS && *p && *p != '>') {
        if (*p == ' ') {
            p++;
            break;
        }
        name[n++] = *p++;
    }
    name[n] = '\0';
    return p;
}

// Reads a tag's argument into buffer, up to a '>' (consumed), the end of the text, or limit
// characters (then the rest, '>' included, is plain text). Returns the position after it.
static const char *ReadTagArgument(const char *p, char *buffer, int32_t limit, int32_t *length) {
    int32_t n = 0;
    while (*p && *p != '>' && n < limit) buffer[n++] = *p++;
    if (*p == '>' && n < limit) p++;
    buffer[n] = '\0';
    *length = n;
    return p;
}

int32_t ShowHelpPage(BrowserWindow *w) {
    if (!w) return ERR_NULLPTR;
    if (!w->helpText || !w->textView || !w->textBuffer || w->textCapacity < 2)
        return ERR_NULLPTRIN;
    RichTextView *view = w->textView;
    char *run = w->textBuffer;
    const int32_t runLimit = w->textCapacity - 1;
    ClearLinks(&w->links);
    w->shownPage = PageRef{};
    SendMessageA(view->control, WM_SETTEXT, 0, (LPARAM) "");
    RichTextViewClear(view);

    int32_t runLength = 0;
    const char *p = w->helpText;
    while (*p) {
        if (runLength >= runLimit) {
            // A full run is written and the walk goes on: the rest of the text is not dropped.
            WriteRun(view, run, runLength);
            runLength = 0;
        }
        if (*p != '<') {
            run[runLength++] = *p++;
            continue;
        }
        WriteRun(view, run, runLength);
        runLength = 0;
        char name[HELP_TAG_NAME_CHARS + 1];
        p = ReadTagName(p + 1, name);
        int32_t argLength = 0;
        p = ReadTagArgument(p, run, runLimit, &argLength);
        if (strcasecmp(name, "LINK") == 0) {
            RichTextViewSetLink(view, 1);
            WriteRun(view, run, argLength);
            RichTextViewSetLink(view, 0);
        }
    }
    WriteRun(view, run, runLength);
    // The text is longer than the pane: it is read from its start, not from where writing ended.
    CHARRANGE start = {0, 0};
    SendMessageA(view->control, EM_EXSETSEL, 0, (LPARAM)&start);
    POINT top = {0, 0};
    SendMessageA(view->control, EM_SETSCROLLPOS, 0, (LPARAM)&top);
    return 0;
}

int32_t CreateDesktopIcon(BrowserWindow *w) {
    if (!w) return ERR_NULLPTR;
    if (!w->textBuffer) return ERR_NULLPTRIN;
    static const char kCaption[] = "Info";
    static const char kFailed[] = "Program icon could not be created at desktop.";
    char *path = w->textBuffer;
    int32_t status = BuildShortcutPath(w->app, path, w->textCapacity);
    if (status < 0) {
        MessageBoxPrint(w->window, MB_ICONWARNING, kCaption, "%s", kFailed);
        return status;
    }
    if (ShortcutExists(w->window, path)) {
        MessageBoxPrint(w->window, MB_ICONINFORMATION, kCaption, "%s",
                        "Program icon already exists at desktop.");
        return 0;
    }
    if (!w->app->modulePath) {
        MessageBoxPrint(w->window, MB_ICONWARNING, kCaption, "%s", kFailed);
        return ERR_NULLPTRIN;
    }
    if (CreateShortcut(w->app->modulePath, path, w->app->moduleBaseName))
        MessageBoxPrint(w->window, MB_ICONINFORMATION, kCaption, "%s",
                        "Program icon created at desktop.");
    else
        MessageBoxPrint(w->window, MB_ICONWARNING, kCaption, "%s", kFailed);
    return 0;
}

void HelpOnInfoButton(BrowserWindow *w) { ShowHelpPage(w); }
