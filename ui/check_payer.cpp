// The Check tab's age and inpatient row.
#include "ui/check_payer.h"

#include <cstdlib>
#include <initializer_list>

#include "edits/edits_visit.h"
#include "foundation/status.h"
#include "ui/dpi.h"

static HWND Create(ControlSlot *slot, HWND parent, HINSTANCE instance, const char *cls,
                   const char *text, DWORD style, DWORD exStyle, int32_t id) {
    slot->handle = CreateWindowExA(exStyle, cls, text, WS_CHILD | style, 0, 0, 0, 0, parent,
                                   (HMENU)(INT_PTR)id, instance, nullptr);
    return slot->handle;
}

int32_t CheckPayerCreate(CheckPayer *p, HWND parent, HINSTANCE instance, HFONT font) {
    HWND label = Create(&p->label, parent, instance, "STATIC", "Age:", SS_LEFT | SS_CENTERIMAGE,
                        0, -1);
    HWND age = Create(&p->age, parent, instance, "EDIT", "", WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL,
                      WS_EX_CLIENTEDGE, IDC_CHECK_AGE);
    HWND inpatient = Create(&p->inpatient, parent, instance, "BUTTON", "Inpatient",
                            WS_TABSTOP | BS_AUTOCHECKBOX, 0, IDC_CHECK_INPATIENT);
    if (!label || !age || !inpatient) return ERR_CREATE;
    for (HWND control : {label, age, inpatient}) SendMessageA(control, WM_SETFONT, (WPARAM)font, FALSE);
    SendMessageA(age, EM_SETLIMITTEXT, 3, 0);
    return 0;
}

void CheckPayerLayout(CheckPayer *p, const LayoutRect &row, int32_t dpi) {
    const int32_t labelWidth = DpiScale(104, dpi), ageWidth = DpiScale(48, dpi);
    const int32_t gap = DpiScale(16, dpi);
    p->label.rect = {row.left, row.top, row.left + labelWidth, row.bottom};
    p->age.rect = {row.left + labelWidth, row.top, row.left + labelWidth + ageWidth, row.bottom};
    const int32_t box = p->age.rect.right + gap;
    p->inpatient.rect = {box, row.top, box + DpiScale(100, dpi), row.bottom};
}

void CheckPayerApply(const CheckPayer *p) {
    for (const ControlSlot *slot : {&p->label, &p->age, &p->inpatient}) {
        const LayoutRect &r = slot->rect;
        if (slot->handle)
            MoveWindow(slot->handle, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
    }
}

void CheckPayerShow(const CheckPayer *p, int32_t shown) {
    for (HWND control : {p->label.handle, p->age.handle, p->inpatient.handle})
        if (control) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

int32_t CheckPayerAge(const CheckPayer *p) {
    char text[8] = "";
    if (!p->age.handle || GetWindowTextA(p->age.handle, text, sizeof text) <= 0) return -1;
    char *end = nullptr;
    long age = strtol(text, &end, 10);
    return *end == '\0' && age >= 0 && age <= VISIT_MAX_AGE ? (int32_t)age : CHECK_BAD_AGE;
}

int32_t CheckPayerInpatient(const CheckPayer *p) {
    return p->inpatient.handle &&
           SendMessageA(p->inpatient.handle, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
