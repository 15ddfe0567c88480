// State of the browser window: the application record, the window record with its controls and
// layout rectangles, the private messages and the control and menu identifiers.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

#include "classification/page_compose.h"
#include "classification/page_ref.h"
#include "classification/record_table.h"
#include "classification/release_changes.h"
#include "classification/releases.h"
#include "edits/edits_table.h"
#include "classification/search.h"
#include "classification/seventh_chars.h"
#include "classification/tree_plan.h"

struct RichTextView;
struct IndexTab;
struct GuidelinePages;
struct GuidelinesTab;
struct CheckTab;

// One per process, owned by WinMain.
struct AppContext {
    HINSTANCE instance;    // for every class and window the program creates
    char *moduleBaseName;  // base name of the program's executable (MemStrDup), or null
    char *modulePath;      // full path of the same module (MemStrDup), or null
};

// In the client coordinates of the control's parent.
struct LayoutRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

struct ControlSlot {
    HWND handle;      // the child control
    LayoutRect rect;  // where the last layout put it
};

enum : int32_t {
    HISTORY_CAPACITY = 32,  // visited pages kept for "<" and ">"
    SPLITTER_MARGIN = 168,  // a drag keeps the splitter this far from both client edges
};

// Private messages between the main window, the subclassed controls and the resize bar.
enum : UINT {
    MSG_RESIZEBAR_BEGIN = 601,   // sent, bar -> main: press on the bar (lParam: screen x, y)
    MSG_RESIZEBAR_END = 607,     // sent, main -> bar: the drag is over
    MSG_CONTROL_CHAR = 2944,     // posted, edit or viewer -> main: wParam char (bit 31 Shift),
                                 // lParam the control
    MSG_TREE_CONTEXT = 2954,     // sent, tree -> main: lParam a ContextRequest
    MSG_VIEWER_CONTEXT = 2974,   // sent, viewer -> main: lParam a ContextRequest
    MSG_EXPAND_ROOT = 2984,      // posted, main -> itself once after creation
};

// Control identifiers (tab, tree, list and resize bar have none) and menu commands.
enum : int32_t {
    IDC_FIND_BUTTON = 501,
    IDC_SEARCH_EDIT = 504,
    IDC_NOTHING_FOUND = 505,
    IDC_INFO_BUTTON = 507,
    IDC_VIEWER = 520,
    IDC_BACK_BUTTON = 530,
    IDC_FORWARD_BUTTON = 532,
    IDC_SHOW_WORD_CHECK = 534,
    IDM_COPY = 540,
    IDM_COPY_ALL = 542,
    IDM_ZOOM_IN = 550,
    IDM_ZOOM_OUT = 552,
    IDM_EXPAND_ALL = 600,
    IDM_COLLAPSE_ALL = 602,
    IDM_COPY_CODE = 604,        // tree: the selected record's code
    IDM_COPY_CODE_TITLE = 606,  // tree: its code and title
    IDM_COPY_PAGE_CODE = 608,   // viewer: the shown page's code
};

// The whole state of the user interface, one per main window, in its GWLP_USERDATA slot.
struct BrowserWindow {
    HWND window;                 // the main window
    LayoutRect clientRect;       // client rectangle as read by the last layout
    ControlSlot tab;             // the tab control
    ControlSlot tree;            // tree view, child of the tab control
    HTREEITEM rootItem;          // the tree's root item (record 0)
    TreePlan treePlan;           // where each record's tree item goes; items are made when first
                                 // needed (ui/tree_items.h); owned
    ControlSlot list;            // hit list view, child of the tab control
    ControlSlot findButton;      // "Find", child of the tab control
    ControlSlot searchEdit;      // search edit, child of the tab control
    ControlSlot nothingFound;    // line under the hit list saying a search found nothing; tab child
    int32_t nothingFoundOn;      // nonzero while that line has something to say
    ControlSlot viewer;          // the rich-edit viewer
    RichTextView *textView;      // output object over the viewer; owned; null if creation failed
    ControlSlot resizeBar;       // the resize bar between the panes
    ControlSlot backButton;      // "<"
    ControlSlot forwardButton;   // ">"
    ControlSlot showWordCheck;   // "Show seach word in text"
    ControlSlot infoButton;      // "Info"
    int32_t splitterX;           // splitter x in the main window's client coordinates
    int32_t dpi;                 // DPI the layout and the fonts are made for (ui/dpi.h)
    HFONT uiFont;                // tab, buttons, edits and the viewer's default; owned
    HFONT treeFont;              // the tree's font once a DPI change scaled it; owned, or null
    HFONT listFont;              // the hit lists' font once a DPI change scaled it; owned, or null
    int32_t dragLineX;           // x of the line drawn during a splitter drag
    AppContext *app;             // the application record; not owned
    RecordTable table;           // the loaded records (recordCount, records, code index); owned
    SeventhCharTable sevenths;   // the 7th characters of the records; owned
    int32_t textCapacity;        // characters in each text buffer: TEXT_BUFFER_CHARS
    char *textBuffer;            // shared scratch buffer, textCapacity + 1 bytes; owned
    char *scratchBuffer;         // second scratch buffer, used by page rendering; owned
    SearchState search;          // last search word and its hits; owned
    LinkTable links;             // code links of the current page
    uint16_t historyPos;         // current history entry
    uint16_t historyLast;        // last valid history entry
    PageRef history[HISTORY_CAPACITY];  // visited pages
    int32_t dragging;            // nonzero while a splitter drag is in progress
    char *helpText;              // zero-terminated "HelpText.txt"; owned
    EditsTable edits;            // the payers' lists; zero-filled when unreadable; owned
    char completeCode[16];       // a complete code whose leaf's page is being opened for it, or ""
    Releases releases;           // the releases held and their changes; the table is the newest
                                 // one's; zero-filled when unreadable (then FY2023's); owned
    IndexTab *indexTab;          // the "Index" tab's controls and data (ui/index_tab.h); owned
    CheckTab *checkTab;          // the "Check" tab's controls and lists (ui/check_tab.h); owned
    GuidelinePages *guidelines;  // the Official Guidelines, loaded on first need
                                 // (ui/guideline_pages.h); owned
    GuidelinesTab *guidelinesTab;  // the "Guidelines" tab's controls (ui/guidelines_tab.h); owned
    PageRef shownPage;           // the record page the viewer shows; kind 0 for any other text
    int32_t treeFollowing;       // nonzero while the program moves the tree's selection
                                 // itself: the selection change then shows nothing
    int32_t treeOwnPaint;        // nonzero: the window paints the tree's rows (ui/tree_paint.h);
                                 // zero leaves them to the tree view
};

// Creates every child control in a fixed order, loads the help text and the records and fills
// the tree. 0; ERR_ALLOC; ERR_CREATE; ERR_FAILED; ERR_WINDOWS; or the record loader's status.
int32_t BrowserCreateControls(BrowserWindow *w);
// Fills the tree from the record table: the root's text copied, every other item's text asked
// for on demand. Stops at the first record whose parent index is not below recordCount. Only the
// top level and the root's children get their items now; the rest come when first shown or
// needed (ui/tree_items.h). 0; ERR_NULLPTR; ERR_EMPTY for an empty table; ERR_ALLOC.
int32_t BrowserFillTree(BrowserWindow *w);
// Refreshes clientRect and every control's rectangle from splitterX; moves nothing.
void BrowserComputeLayout(BrowserWindow *w);
// Moves every control to its rectangle, without repainting.
void BrowserApplyLayout(BrowserWindow *w);
// Font of cell height `height` with the platform's default face of that pitch. Always 0.
int32_t CreateUiFont(uint16_t height, int32_t proportional, HFONT *font);

// Size of the main window for a work area: 64 pixels left free at the right and 128 at the
// bottom, never more than 1136 x 836.
void BrowserWindowSize(const RECT *workArea, int32_t *width, int32_t *height);
// The same rule at `dpi`, every length of it scaled: at 96 DPI exactly BrowserWindowSize. The
// window then stands at DpiScale(64, dpi) on both axes.
void BrowserWindowSizeAt(const RECT *workArea, int32_t dpi, int32_t *width, int32_t *height);
// Registers "TextRecordViewerClass" and creates the main window. 0; ERR_ERROR.
int32_t CreateBrowserWindow(AppContext *app);
LRESULT CALLBACK BrowserWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Tab 0 shows the tree, tab 1 the hit list with the find controls, tab 2 the Index tab's, tab 3
// the Check tab's.
// Always 0.
int32_t ShowTab(BrowserWindow *w, int32_t tab);
