// The Check tab's "Date of service": a label and the Windows date picker, empty by default (the
// newest release), limited to the days the releases held cover. It only reads and sets the
// picker; which release a day falls in is the releases module's answer.
#pragma once
#include <windows.h>
#include <cstdint>

#include "classification/releases.h"
#include "ui/browser_window.h"

enum : int32_t {
    IDC_CHECK_DATE = 513,  // the date picker
};

struct CheckDate {
    ControlSlot label;   // "Date of service:"
    ControlSlot picker;  // SysDateTimePick32 with an empty state
};

// Creates the label and the picker as children of parent, hidden, in the releases' range.
// 0; ERR_CREATE.
int32_t CheckDateCreate(CheckDate *d, HWND parent, HINSTANCE instance, HFONT font,
                        const Releases *releases);
// Places the row in row (label left, picker after it) at dpi.
void CheckDateLayout(CheckDate *d, const LayoutRect &row, int32_t dpi);
// Moves and shows or hides the controls.
void CheckDateApply(const CheckDate *d);
void CheckDateShow(const CheckDate *d, int32_t shown);
// The day chosen as YYYYMMDD, or 0 when the picker is empty.
int32_t CheckDateRead(const CheckDate *d);
// Chooses date (YYYYMMDD), or empties the picker for 0. 0; ERR_INVVALUE when the picker refuses.
int32_t CheckDateSet(const CheckDate *d, int32_t date);
