// Report-view columns of the hit lists; the lists themselves belong to their tabs.
#include "ui/list_columns.h"

int32_t ListAddColumn(HWND list, int32_t column, const char *title, int32_t width) {
    LVCOLUMNA col = {};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    col.fmt = LVCFMT_LEFT;
    col.cx = width;
    col.pszText = (LPSTR)title;
    SendMessageA(list, LVM_INSERTCOLUMNA, column, (LPARAM)&col);
    return 0;
}

int32_t ListScaleColumns(HWND list, int32_t fromDpi, int32_t toDpi) {
    if (!list || fromDpi <= 0 || toDpi <= 0)
        return 0;
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    const int32_t count = header ? (int32_t)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    for (int32_t i = 0; i < count; i++) {
        const int32_t width = (int32_t)SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0);
        SendMessageA(list, LVM_SETCOLUMNWIDTH, i, MAKELPARAM(MulDiv(width, toDpi, fromDpi), 0));
    }
    return 0;
}
