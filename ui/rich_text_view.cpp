// Rich-text output: one 8193-byte buffer per view, each append is one formatting pass plus
// EM_EXSETSEL to the end and EM_REPLACESEL; formats go to the insertion point (SCF_SELECTION).
#include "ui/rich_text_view.h"
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include "foundation/mem.h"
#include "foundation/status.h"
#include "ui/page_runs_view.h"
#include "ui/page_view.h"

static_assert(sizeof(CHARFORMAT2A) == 84, "CHARFORMAT2A must be the 84-byte layout");

static const int32_t VIEW_CAPACITY = 8192;
static const LPARAM VIEW_EVENTS = ENM_LINK | ENM_SELCHANGE | ENM_KEYEVENTS | ENM_CHANGE;

int32_t RichTextViewCreate(HWND control, RichTextView **view) {
    if (!view)
        return ERR_NULLPTR;
    RichTextView *v = (RichTextView *)MemAlloc(sizeof(RichTextView));
    if (!v)
        return ERR_ALLOC;
    v->control = control;
    v->capacity = VIEW_CAPACITY;
    v->buffer = (char *)MemAlloc(VIEW_CAPACITY + 1);
    if (!v->buffer) {
        MemFree(v);
        return ERR_ALLOC;
    }
    v->plainColor = 0x000000;
    v->whiteColor = 0xFFFFFF;
    v->linkColor = 0xFF0000;
    v->yellowColor = 0x80FFFF;
    v->greyColor = 0x808080;
    v->runsWork = PAGE_RUNS_UNKNOWN;
    v->mode = PAGE_VIEW_RUNS;
    v->lastWay = PAGE_VIEW_RUNS;
    if (!SendMessageA(control, EM_GETOLEINTERFACE, 0, (LPARAM)&v->oleInterface) ||
        !v->oleInterface) {
        MemFree(v->buffer);
        MemFree(v);
        return ERR_OLE;
    }
    v->options = (uint32_t)SendMessageA(control, EM_GETOPTIONS, 0, 0);
    SendMessageA(control, EM_REQUESTRESIZE, 0, 0);
    SendMessageA(control, EM_SETEVENTMASK, 0, VIEW_EVENTS);
    *view = v;
    return 0;
}

void RichTextViewFree(RichTextView *view) {
    if (!view)
        return;
    if (view->oleInterface)
        view->oleInterface->Release();
    view->oleInterface = nullptr;
    MemFree(view->buffer);
    view->buffer = nullptr;
    PageRtfFree(&view->page);
    PageRunsFree(&view->runs);
    MemFree(view);
}

int32_t RichTextViewPrint(RichTextView *view, const char *format, ...) {
    if (!view)
        return ERR_NULLPTR;
    va_list args;
    va_start(args, format);
    // capacity + 1 bytes: output cut at `capacity` characters keeps all of them.
    vsnprintf(view->buffer, (size_t)view->capacity + 1, format, args);
    va_end(args);
    view->buffer[view->capacity] = 0;
    CHARRANGE end = {-1, -1};
    SendMessageA(view->control, EM_EXSETSEL, 0, (LPARAM)&end);
    SendMessageA(view->control, EM_REPLACESEL, FALSE, (LPARAM)view->buffer);
    return 0;
}

static void SetFormat(RichTextView *view, CHARFORMAT2A *cf) {
    SendMessageA(view->control, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)cf);
}

int32_t RichTextViewSetFont(RichTextView *view, const char *face, int32_t points, uint16_t weight) {
    if (!view)
        return ERR_NULLPTR;
    CHARFORMAT2A cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_SIZE | CFM_FACE | CFM_BOLD;
    cf.dwEffects = weight > 400 ? CFE_BOLD : 0;
    cf.yHeight = points * 20;
    if (face)
        strncpy(cf.szFaceName, face, sizeof cf.szFaceName - 1);
    SetFormat(view, &cf);
    return 0;
}

int32_t RichTextViewSetEffects(RichTextView *view, int32_t bold, int32_t italic, int32_t underline) {
    if (!view)
        return ERR_NULLPTR;
    CHARFORMAT2A cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE;
    cf.dwEffects = (bold ? CFE_BOLD : 0) | (italic ? CFE_ITALIC : 0) | (underline ? CFE_UNDERLINE : 0);
    SetFormat(view, &cf);
    return 0;
}

int32_t RichTextViewSetLink(RichTextView *view, int32_t on) {
    if (!view)
        return ERR_NULLPTR;
    CHARFORMAT2A cf = {};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR | CFM_UNDERLINETYPE | CFM_WEIGHT | CFM_LINK | CFM_UNDERLINE;
    cf.dwEffects = on ? (CFE_LINK | CFE_UNDERLINE) : 0;
    cf.crTextColor = on ? view->linkColor : view->plainColor;
    cf.bUnderlineType = on ? CFU_UNDERLINEWORD : CFU_UNDERLINENONE;
    cf.wWeight = on ? 500 : 400;
    SetFormat(view, &cf);
    return 0;
}

int32_t RichTextViewClear(RichTextView *view) {
    if (!view)
        return ERR_NULLPTR;
    CHARRANGE all = {0, -1};
    SendMessageA(view->control, EM_EXSETSEL, 0, (LPARAM)&all);
    SendMessageA(view->control, EM_REPLACESEL, FALSE, (LPARAM)"");
    return 0;
}

// ITextDocument: mingw-w64's uuid library lacks it.
static const GUID IID_TEXT_DOCUMENT = {
    0x8CC497C0, 0xA1DF, 0x11CE, {0x80, 0x98, 0x00, 0xAA, 0x00, 0x47, 0xBE, 0x5D}};

ITextDocument *RichTextViewDocument(RichTextView *view) {
    ITextDocument *document = nullptr;
    if (!view || !view->oleInterface ||
        FAILED(view->oleInterface->QueryInterface(IID_TEXT_DOCUMENT, (void **)&document)))
        return nullptr;
    return document;
}
