// Page runs into the viewer: one format at the insertion point and one range insertion per run.
// The selection sits at the end of the text, where every run goes, so it never moves; a
// selection moved below the view would scroll the viewer once per run.
#include "ui/page_runs_view.h"

#include <windows.h>
#include <oleauto.h>
#include <richedit.h>
#include <cstring>

#include "foundation/status.h"
#include "ui/rich_text_view.h"

// Pages are written as Windows-1252, as their RTF says.
static const UINT PAGE_CODE_PAGE = 1252;

static const DWORD RUN_MASK = CFM_FACE | CFM_SIZE | CFM_WEIGHT | CFM_BOLD | CFM_ITALIC |
                              CFM_UNDERLINE | CFM_UNDERLINETYPE | CFM_COLOR | CFM_LINK |
                              CFM_BACKCOLOR | CFM_STRIKEOUT;

// The whole format of a run: what the page never set stays as the emptied viewer has it.
static void RunFormat(const RichTextView *view, const CHARFORMAT2A &base, const RtfFormat &f,
                      int32_t marked, const char (*faces)[RTF_FACE_CHARS + 1], int32_t faceCount,
                      CHARFORMAT2A *out) {
    *out = base;
    out->dwMask = RUN_MASK;
    if (f.face >= 0 && f.face < faceCount)
        lstrcpynA(out->szFaceName, faces[f.face], sizeof out->szFaceName);
    if (f.points > 0) out->yHeight = f.points * 20;
    out->wWeight = f.weight;
    out->dwEffects &= ~(CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_LINK | CFE_AUTOCOLOR);
    out->dwEffects |= (f.bold ? CFE_BOLD : 0) | (f.italic ? CFE_ITALIC : 0) |
                      (f.underline ? CFE_UNDERLINE : 0) | (f.link ? CFE_LINK : 0);
    out->bUnderlineType = f.underlineType;
    if (f.colour == RTF_COLOUR_AUTO)
        out->dwEffects |= CFE_AUTOCOLOR;
    else
        out->crTextColor = f.colour == RTF_COLOUR_LINK ? view->linkColor : view->plainColor;
    if (marked) {
        out->dwEffects &= ~(CFE_AUTOCOLOR | CFE_AUTOBACKCOLOR);
        out->crTextColor = HIGHLIGHT_TEXT_COLOR;
        out->crBackColor = HIGHLIGHT_BACK_COLOR;
    }
}

static int32_t InsertRun(HWND viewer, ITextRange *range, const PageRuns *runs, const PageRun &run,
                         LONG at, const CHARFORMAT2A &format) {
    SendMessageA(viewer, EM_SETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
    BSTR text = SysAllocStringLen(nullptr, (UINT)run.length);
    if (!text) return ERR_ALLOC;
    const int wide = MultiByteToWideChar(PAGE_CODE_PAGE, 0, runs->text + run.start, run.length,
                                         text, run.length);
    HRESULT hr = wide == run.length ? range->SetRange(at, at) : E_FAIL;
    if (SUCCEEDED(hr)) hr = range->SetText(text);
    SysFreeString(text);
    return SUCCEEDED(hr) ? 0 : ERR_OLE;
}

static int32_t ViewerCharacters(HWND viewer) {
    GETTEXTLENGTHEX how = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    return (int32_t)SendMessageA(viewer, EM_GETTEXTLENGTHEX, (WPARAM)&how, 0);
}

int32_t PageRunsViewWrite(RichTextView *view, const PageRuns *runs,
                          const char (*faces)[RTF_FACE_CHARS + 1], int32_t faceCount) {
    if (!view || !runs || (!faces && faceCount > 0)) return ERR_NULLPTR;
    if (runs->status < 0) return ERR_INVPARAM;
    ITextDocument *document = RichTextViewDocument(view);
    if (!document) return ERR_OLE;
    ITextRange *range = nullptr;
    const HRESULT hr = document->Range(0, 0, &range);
    document->Release();
    if (FAILED(hr) || !range) return ERR_OLE;

    HWND viewer = view->control;
    const LRESULT events = SendMessageA(viewer, EM_SETEVENTMASK, 0, 0);
    SendMessageA(viewer, EM_SETUNDOLIMIT, 0, 0);
    CHARFORMAT2A base = {};
    base.cbSize = sizeof base;
    SendMessageA(viewer, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&base);
    int32_t status = 0;
    LONG at = 0;
    for (int32_t i = 0; i < runs->count && status == 0; i++) {
        CHARFORMAT2A format;
        RunFormat(view, base, runs->runs[i].format, runs->runs[i].marked, faces, faceCount,
                  &format);
        status = InsertRun(viewer, range, runs, runs->runs[i], at, format);
        at += runs->runs[i].length;
    }
    range->Release();
    // Range insertions leave the wrapping to the next change the viewer shows: an empty
    // replacement at the top wraps the whole page once and scrolls nothing.
    CHARRANGE top = {0, 0};
    SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&top);
    SendMessageA(viewer, EM_REPLACESEL, FALSE, (LPARAM) "");
    SendMessageA(viewer, EM_SETEVENTMASK, 0, events);
    SendMessageA(viewer, EM_SETUNDOLIMIT, 100, 0);
    if (status == 0 && ViewerCharacters(viewer) != runs->length) status = ERR_FAILED;
    return status;
}

static CHARFORMAT2A FormatOf(HWND viewer, LONG at) {
    CHARRANGE one = {at, at + 1};
    SendMessageA(viewer, EM_EXSETSEL, 0, (LPARAM)&one);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(viewer, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
    return format;
}

static bool Looks(const CHARFORMAT2A &seen, const CHARFORMAT2A &meant, bool marked) {
    const DWORD effects = CFE_BOLD | CFE_ITALIC | CFE_UNDERLINE | CFE_LINK;
    return (seen.dwEffects & effects) == (meant.dwEffects & effects) &&
           seen.wWeight == meant.wWeight && seen.crTextColor == meant.crTextColor &&
           (!marked || seen.crBackColor == meant.crBackColor) &&
           seen.bUnderlineType == meant.bUnderlineType;
}

int32_t PageRunsViewWorks(RichTextView *view) {
    if (!view) return PAGE_RUNS_NO;
    if (view->runsWork != PAGE_RUNS_UNKNOWN) return view->runsWork;
    // A link, then bold italic plain text marked: every member a page sets differs between them.
    const RtfFormat link = {-1, 0, 500, 0, 0, 1, RTF_UNDERLINE_WORD, RTF_COLOUR_LINK, 1};
    const RtfFormat plain = {-1, 0, 700, 1, 1, 0, RTF_UNDERLINE_SINGLE, RTF_COLOUR_PLAIN, 0};
    PageRuns probe = {};
    PageRunsAdd(&probe, &link, 'a');
    PageRunsAdd(&probe, &plain, 'b');
    PageRunsMark(&probe, 1, 2);
    HWND viewer = view->control;
    int32_t works = PAGE_RUNS_NO;
    if (PageRunsViewWrite(view, &probe, nullptr, 0) == 0) {
        CHARFORMAT2A base = {};
        base.cbSize = sizeof base;
        CHARFORMAT2A meant[2];
        RunFormat(view, base, link, 0, nullptr, 0, &meant[0]);
        RunFormat(view, base, plain, 1, nullptr, 0, &meant[1]);
        const LRESULT events = SendMessageA(viewer, EM_SETEVENTMASK, 0, 0);
        if (Looks(FormatOf(viewer, 0), meant[0], false) && Looks(FormatOf(viewer, 1), meant[1], true))
            works = PAGE_RUNS_YES;
        SendMessageA(viewer, EM_SETEVENTMASK, 0, events);
    }
    PageRunsFree(&probe);
    SendMessageA(viewer, WM_SETTEXT, 0, (LPARAM) "");
    view->runsWork = works;
    return works;
}
