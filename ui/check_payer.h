// The Check tab's payer row: "Age" (empty: the age edits do not apply) and "Inpatient" (the first
// code is then the principal diagnosis of an inpatient stay). It only reads and sets the controls.
#pragma once
#include <windows.h>
#include <cstdint>

#include "ui/browser_window.h"

enum : int32_t {
    IDC_CHECK_AGE = 514,        // the age edit
    IDC_CHECK_INPATIENT = 515,  // the check box
    CHECK_BAD_AGE = -2,         // the edit holds no age from 0 to 124
};

struct CheckPayer {
    ControlSlot label;      // "Age:"
    ControlSlot age;        // a number edit of three digits
    ControlSlot inpatient;  // "Inpatient" check box
};

// Creates the controls as children of parent, hidden. 0; ERR_CREATE.
int32_t CheckPayerCreate(CheckPayer *p, HWND parent, HINSTANCE instance, HFONT font);
// Places the row in row at dpi; moves; shows or hides.
void CheckPayerLayout(CheckPayer *p, const LayoutRect &row, int32_t dpi);
void CheckPayerApply(const CheckPayer *p);
void CheckPayerShow(const CheckPayer *p, int32_t shown);
// The age typed (0 to 124), -1 when the edit is empty, CHECK_BAD_AGE for a number above 124.
int32_t CheckPayerAge(const CheckPayer *p);
// 1 when "Inpatient" is checked.
int32_t CheckPayerInpatient(const CheckPayer *p);
