// Columns of the report-view hit lists: adding one, and scaling every width for a new DPI.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

// Appends a left-aligned column `width` pixels wide at position `column`. Always 0.
int32_t ListAddColumn(HWND list, int32_t column, const char *title, int32_t width);
// Every column's width, as it is now (the user may have dragged it), times toDpi / fromDpi.
// Always 0.
int32_t ListScaleColumns(HWND list, int32_t fromDpi, int32_t toDpi);
