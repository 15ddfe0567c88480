// Helpers of the feature tests (pages, search, history, help, navigation, soak): what the viewer
// shows, the character format at a position, and catching the message boxes the features open.
#include "feature_support.h"

#include <commctrl.h>

#include <cstring>
#include <vector>

#include "classification/page_ref.h"
#include "ui/record_page.h"

std::string ViewerText(HWND viewer) {
    GETTEXTLENGTHEX length = {GTL_NUMBYTES | GTL_PRECISE, CP_ACP};
    LRESULT n = SendMessageA(viewer, EM_GETTEXTLENGTHEX, (WPARAM)&length, 0);
    std::vector<char> text((size_t)n + 16, '\0');
    GETTEXTEX get = {};
    get.cb = (DWORD)text.size();
    get.flags = GT_DEFAULT;
    get.codepage = CP_ACP;
    SendMessageA(viewer, EM_GETTEXTEX, (WPARAM)&get, (LPARAM)text.data());
    std::string s(text.data());
    for (char &c : s)
        if (c == '\r') c = '\n';
    return s;
}

CHARFORMAT2A FormatAt(HWND viewer, int32_t pos) {
    SendMessageA(viewer, EM_SETSEL, pos, pos + 1);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof(format);
    SendMessageA(viewer, EM_GETCHARFORMAT, SCF_SELECTION, (LPARAM)&format);
    return format;
}

int32_t RecordOf(const BrowserWindow *w, const char *code) {
    for (uint32_t i = 0; i < w->table.recordCount; i++)
        if (strcmp(RecordField(&w->table.records[i], FIELD_CODE), code) == 0) return (int32_t)i;
    return -1;
}

LRESULT SendLinkPress(BrowserWindow *w, int32_t from, int32_t to, UINT mouse) {
    ENLINK link = {};
    link.nmhdr.hwndFrom = w->viewer.handle;
    link.nmhdr.idFrom = IDC_VIEWER;
    link.nmhdr.code = EN_LINK;
    link.msg = mouse;
    link.chrg.cpMin = from;
    link.chrg.cpMax = to;
    return SendMessageA(w->window, WM_NOTIFY, IDC_VIEWER, (LPARAM)&link);
}

void ShowCode(BrowserWindow *w, const char *code) {
    int32_t r = RecordOf(w, code);
    if (r >= 0) ShowRecordPage(w, PAGE_KIND_RECORD, &w->table.records[r], w->table.records, 1);
}

MessageBoxCatcher::MessageBoxCatcher() {
    thread_ = std::thread([this] {
        DWORD self = GetCurrentProcessId();
        for (int i = 0; i < 400; i++) {
            HWND box = nullptr;
            while ((box = FindWindowExA(nullptr, box, "#32770", nullptr)) != nullptr) {
                DWORD pid = 0;
                GetWindowThreadProcessId(box, &pid);
                if (pid == self && IsWindowVisible(box)) break;
            }
            if (box) {
                char buffer[512] = {};
                GetWindowTextA(box, buffer, sizeof buffer);
                caption = buffer;
                buffer[0] = '\0';
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                text = buffer;
                HICON icon = (HICON)SendDlgItemMessageA(box, 0x440, STM_GETICON, 0, 0);
                information = icon && icon == LoadIconA(nullptr, IDI_INFORMATION);
                warning = icon && icon == LoadIconA(nullptr, IDI_WARNING);
                caught_ = true;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
}

MessageBoxCatcher::~MessageBoxCatcher() { Finish(); }

bool MessageBoxCatcher::Finish() {
    if (thread_.joinable()) thread_.join();
    return caught_;
}

PrivateHome::PrivateHome(bool withDesktop) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);  // like C:\users\me\Temp\ .
    char name[64];
    wsprintfA(name, "morbivue-home-%lu-%lu", GetCurrentProcessId(), GetTickCount());
    home_ = std::string(temp) + name;
    CreateDirectoryA(home_.c_str(), nullptr);
    desktop = home_ + "\\Desktop\\";
    if (withDesktop) CreateDirectoryA(desktop.c_str(), nullptr);
    char old[MAX_PATH] = {};
    GetEnvironmentVariableA("HOMEPATH", old, sizeof old);
    oldHomePath_ = old;
    SetEnvironmentVariableA("SYSTEMDRIVE", home_.substr(0, 2).c_str());
    SetEnvironmentVariableA("HOMEPATH", home_.substr(2).c_str());
}

PrivateHome::~PrivateHome() {
    SetEnvironmentVariableA("HOMEPATH", oldHomePath_.c_str());
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((desktop + "*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((desktop + found.cFileName).c_str());
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(desktop.c_str());
    RemoveDirectoryA(home_.c_str());
}

void ResetHistory(BrowserWindow *w) {
    w->historyPos = w->historyLast = 0;
    memset(w->history, 0, sizeof w->history);
}

void SelectTab(BrowserWindow *w, int32_t tab) {
    SendMessageA(w->tab.handle, TCM_SETCURSEL, (WPARAM)tab, 0);
    ShowTab(w, tab);
}

void RealClickOnViewer(BrowserWindow *w, int32_t pos) {
    HWND viewer = w->viewer.handle;
    POINTL p = {};
    SendMessageA(viewer, EM_POSFROMCHAR, (WPARAM)&p, pos);
    POINT screen = {p.x + 3, p.y + 8};
    ClientToScreen(viewer, &screen);
    SetForegroundWindow(w->window);
    SetCursorPos(screen.x, screen.y);
    INPUT press[2] = {};
    press[0].type = press[1].type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
    PumpMessages(300);
}

int32_t ListRows(HWND list) { return (int32_t)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }

std::string ListCell(HWND list, int32_t row, int32_t column) {
    char text[1100] = {};
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
    return text;
}

// The handler reads the focused row, since Wine reports Enter without the item.
void ActivateListRow(BrowserWindow *w, HWND list, int32_t row) {
    LVITEMA state = {};
    state.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, row, (LPARAM)&state);
    NMITEMACTIVATE item = {};
    item.hdr.hwndFrom = list;
    item.hdr.code = LVN_ITEMACTIVATE;
    item.iItem = row;
    SendMessageA(w->window, WM_NOTIFY, 0, (LPARAM)&item);
    PumpMessages();
}

bool PressViewerLink(BrowserWindow *w, const std::string &text, size_t after) {
    const std::string page = ViewerText(w->viewer.handle);
    const size_t at = page.find(text, after);
    EXPECT_NE(at, std::string::npos) << text;
    if (at == std::string::npos) return false;
    const bool link = (FormatAt(w->viewer.handle, (int32_t)at).dwEffects & CFE_LINK) != 0;
    EXPECT_TRUE(link) << text;
    if (!link) return false;
    SendLinkPress(w, (int32_t)at, (int32_t)(at + text.size()));
    PumpMessages();
    return true;
}
