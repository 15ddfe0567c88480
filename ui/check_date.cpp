// The Check tab's date of service row.
#include "ui/check_date.h"

#include <commctrl.h>

#include <initializer_list>

#include "foundation/status.h"
#include "ui/dpi.h"

static SYSTEMTIME Day(int32_t date) {
    SYSTEMTIME t = {};
    t.wYear = (WORD)(date / 10000);
    t.wMonth = (WORD)(date / 100 % 100);
    t.wDay = (WORD)(date % 100);
    return t;
}

static HWND Create(ControlSlot *slot, HWND parent, HINSTANCE instance, const char *cls,
                   const char *text, DWORD style, int32_t id) {
    slot->handle = CreateWindowExA(0, cls, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                                   (HMENU)(INT_PTR)id, instance, nullptr);
    return slot->handle;
}

int32_t CheckDateCreate(CheckDate *d, HWND parent, HINSTANCE instance, HFONT font,
                        const Releases *releases) {
    HWND label = Create(&d->label, parent, instance, "STATIC", "Date of service:",
                        SS_LEFT | SS_CENTERIMAGE, -1);
    HWND picker = Create(&d->picker, parent, instance, DATETIMEPICK_CLASSA, "",
                         WS_TABSTOP | DTS_SHORTDATEFORMAT | DTS_SHOWNONE, IDC_CHECK_DATE);
    if (!label || !picker) return ERR_CREATE;
    for (HWND control : {label, picker}) SendMessageA(control, WM_SETFONT, (WPARAM)font, FALSE);
    int32_t newest = ReleasesNewest(releases);
    if (newest >= 0) {
        SYSTEMTIME range[2] = {Day(releases->info[0].from), Day(releases->info[newest].to)};
        SendMessageA(picker, DTM_SETRANGE, GDTR_MIN | GDTR_MAX, (LPARAM)range);
    }
    CheckDateSet(d, 0);
    return 0;
}

void CheckDateLayout(CheckDate *d, const LayoutRect &row, int32_t dpi) {
    const int32_t labelWidth = DpiScale(104, dpi), pickerWidth = DpiScale(140, dpi);
    d->label.rect = {row.left, row.top, row.left + labelWidth, row.bottom};
    d->picker.rect = {row.left + labelWidth, row.top, row.left + labelWidth + pickerWidth,
                      row.bottom};
}

void CheckDateApply(const CheckDate *d) {
    for (const ControlSlot *slot : {&d->label, &d->picker}) {
        const LayoutRect &r = slot->rect;
        if (slot->handle)
            MoveWindow(slot->handle, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
}

void CheckDateShow(const CheckDate *d, int32_t shown) {
    for (HWND control : {d->label.handle, d->picker.handle})
        if (control) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

int32_t CheckDateRead(const CheckDate *d) {
    SYSTEMTIME t = {};
    if (!d->picker.handle ||
        SendMessageA(d->picker.handle, DTM_GETSYSTEMTIME, 0, (LPARAM)&t) != GDT_VALID)
        return 0;
    return t.wYear * 10000 + t.wMonth * 100 + t.wDay;
}

int32_t CheckDateSet(const CheckDate *d, int32_t date) {
    if (!d->picker.handle) return ERR_INVVALUE;
    SYSTEMTIME t = Day(date);
    SendMessageA(d->picker.handle, DTM_SETSYSTEMTIME, date == 0 ? GDT_NONE : GDT_VALID,
                 date == 0 ? 0 : (LPARAM)&t);
    // Read back: not every picker answers the empty state with success.
    return CheckDateRead(d) == date ? 0 : ERR_INVVALUE;
}
