// The browser window over small archives built by the test: a valid one (tree filling rules),
// a parent index overflow, and damaged archives that must end creation with the right message.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <cstring>
#include <string>
#include <vector>

#include "archive/pak_file.h"
#include "archive/pak_writer.h"
#include "foundation/mem.h"
#include "foundation/mem_inspect.h"
#include "foundation/status.h"
#include "ui/browser_window.h"
#include "ui/index_tab.h"
#include "ui/navigation.h"
#include "ui/record_page.h"
#include "ui/search_ui.h"
#include "ui/tree_items.h"
#include "ui_test_support.h"

extern "C" uint8_t morbivue_archive_start[];
extern "C" uint8_t morbivue_archive_end[];

namespace {

const char *const TAMPERED =
    "It is possible that this program has been tampered (checksum error). Preventing execution "
    "just in case.";

struct RecordLine {
    uint8_t level;
    uint16_t flags;
    uint32_t index;
    uint32_t parent;
    const char *line;
};

void PutHeader(std::string *out, uint8_t level, uint16_t flags, uint32_t index, uint32_t parent) {
    uint8_t h[12] = {level, 0xE7, (uint8_t)flags, (uint8_t)(flags >> 8)};
    memcpy(h + 4, &index, 4);
    memcpy(h + 8, &parent, 4);
    out->append((const char *)h, 12);
}

std::string RecordFile(const std::vector<RecordLine> &records) {
    std::string out;
    for (const RecordLine &r : records) {
        PutHeader(&out, r.level, r.flags, r.index, r.parent);
        out += r.line;
        out += '\n';
    }
    PutHeader(&out, 0, 0x8000, 99999999, 0xFFFFFFFF);
    return out;
}

const std::vector<RecordLine> kSmallTable = {
    {0, 0, 0, 0xFFFFFFFF, "ICD10CM.tabular;Root;;;;;;;;"},
    {1, 0, 1, 0, "A00-B99;Certain infectious and parasitic diseases (A00-B99);;;;;;;;"},
    {2, 0, 2, 1, "A00-A09;Intestinal infectious diseases (A00-A09);;;;;;;;"},
    {3, 0x0002, 3, 2, "A00;Cholera;;;;;;;;"},
    {3, 0, 4, 2, "A01;Typhoid and paratyphoid fevers;;;;;;;;"},
    {1, 0, 5, 0, "C00-D49;Neoplasms (C00-D49);;;;;;;;"},
};

// Builds an archive from the given entries and puts it where the program reads its archive.
void InstallArchive(const std::vector<PakSource> &sources) {
    uint8_t *image = nullptr;
    int32_t size = 0, bad = -1;
    ASSERT_EQ(PakBuildImage(sources.data(), (int32_t)sources.size(), PAK_DEFAULT_SPARE, &image,
                            &size, &bad),
              0);
    const size_t area = (size_t)(morbivue_archive_end - morbivue_archive_start);
    ASSERT_LE((size_t)size, area);
    memset(morbivue_archive_start, 0, area);
    memcpy(morbivue_archive_start, image, (size_t)size);
    MemFree(image);
}

const char kHelp[] = "Help text with a LINK tag.";
const char kSevens[] = "D\tA01\tA\tinitial encounter\n";

void InstallTable(const std::string &records, const char *sevens = kSevens) {
    InstallArchive({{"HelpText.txt", kHelp, (uint32_t)strlen(kHelp)},
                    {"engtextrecords.dat", records.data(), (uint32_t)records.size()},
                    {"sevenchr.txt", sevens, (uint32_t)strlen(sevens)}});
}

// Offset of the named entry's data in the installed archive.
uint32_t EntryOffset(const char *name) {
    PakFile pak;
    EXPECT_EQ(PakFileOpen(morbivue_archive_start,
                          (int32_t)(morbivue_archive_end - morbivue_archive_start), &pak),
              0);
    PakEntry entry = {};
    PakFindEntry(&pak, name, &entry);
    PakClose(&pak);
    return entry.offset;
}

int ChildrenFlag(HWND tree, HTREEITEM item) {
    TVITEMA tv = {};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = item;
    SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&tv);
    return tv.cChildren;
}

HTREEITEM ParentOf(HWND tree, HTREEITEM item) {
    return (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
}

// Opening must fail with the given message box; nothing may stay allocated.
void ExpectRefusedWith(const std::string &text) {
    int32_t live = TracerLiveBlocks();
    ScheduleMessageBoxClose("Error");
    int32_t status = 0;
    OpenedBrowser b = OpenBrowser(&status);
    EXPECT_EQ(FinishMessageBox(), text);
    EXPECT_EQ(status, ERR_ERROR);
    EXPECT_EQ(b.window, nullptr);
    CloseBrowser(&b);
    EXPECT_EQ(TracerLiveBlocks(), live);
}

TEST(ArchiveWindowTest, SmallTableFillsTheTreeInFileOrder) {
    InstallTable(RecordFile(kSmallTable));
    OpenedBrowser b = OpenBrowser();
    ASSERT_NE(b.w, nullptr);
    BrowserWindow *w = b.w;
    HWND tree = w->tree.handle;
    ASSERT_EQ(w->table.recordCount, 6u);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 3);  // the root and its chapters at start
    ASSERT_EQ(TreeItemsMakeAll(w, 0), 0);
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 6);
    EXPECT_STREQ(w->helpText, kHelp);
    EXPECT_EQ(ItemText(tree, w->rootItem), "ICD10CM.tabular");
    HTREEITEM cholera = (HTREEITEM)w->table.records[3].treeItem;
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, (LPARAM)cholera);
    EXPECT_EQ(ItemText(tree, cholera), "A00 Cholera");
    EXPECT_EQ(ChildrenFlag(tree, cholera), 0);
    // No leaf flag: a button even without children.
    EXPECT_EQ(ChildrenFlag(tree, (HTREEITEM)w->table.records[4].treeItem), 1);
    EXPECT_EQ(ParentOf(tree, cholera), (HTREEITEM)w->table.records[2].treeItem);
    EXPECT_EQ(ParentOf(tree, (HTREEITEM)w->table.records[5].treeItem), w->rootItem);
    HTREEITEM second = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT,
                                               (LPARAM)w->table.records[1].treeItem);
    EXPECT_EQ(second, (HTREEITEM)w->table.records[5].treeItem);
    EXPECT_EQ(CloseBrowser(&b), 0);
}

TEST(ArchiveWindowTest, TableOfOneRecordGivesTheRootOnly) {
    InstallTable(RecordFile({kSmallTable[0]}), "\n");  // no code has 7th characters
    OpenedBrowser b = OpenBrowser();
    ASSERT_NE(b.w, nullptr);
    EXPECT_EQ(SendMessageA(b.w->tree.handle, TVM_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(ItemText(b.w->tree.handle, b.w->rootItem), "ICD10CM.tabular");
    CloseBrowser(&b);
}

TEST(ArchiveWindowTest, ParentIndexOverflowStopsFillingButKeepsTheWindow) {
    std::vector<RecordLine> table = kSmallTable;
    table[4].parent = 6;  // equal to the record count
    InstallTable(RecordFile(table));
    int32_t live = TracerLiveBlocks();
    OpenedBrowser b = OpenBrowser();
    ASSERT_NE(b.w, nullptr);
    EXPECT_EQ(SendMessageA(b.w->tree.handle, TVM_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(TreeItemsMakeAll(b.w, 0), 0);
    EXPECT_EQ(SendMessageA(b.w->tree.handle, TVM_GETCOUNT, 0, 0), 4);
    EXPECT_NE(b.w->table.records[3].treeItem, nullptr);
    EXPECT_EQ(b.w->table.records[4].treeItem, nullptr);
    EXPECT_EQ(b.w->table.records[5].treeItem, nullptr);
    EXPECT_EQ(CloseBrowser(&b), 0);
    EXPECT_EQ(TracerLiveBlocks(), live);
}

TEST(ArchiveWindowTest, DamagedArchiveHeaderShowsTheTamperedMessage) {
    InstallTable(RecordFile(kSmallTable));
    morbivue_archive_start[12] ^= 0x55;  // header checksum
    ExpectRefusedWith(TAMPERED);
}

TEST(ArchiveWindowTest, DamagedHelpTextShowsTheTamperedMessage) {
    InstallTable(RecordFile(kSmallTable));
    morbivue_archive_start[EntryOffset("HelpText.txt")] ^= 0x01;
    ExpectRefusedWith(TAMPERED);
}

TEST(ArchiveWindowTest, MissingHelpTextShowsTheTamperedMessage) {
    std::string records = RecordFile(kSmallTable);
    InstallArchive({{"engtextrecords.dat", records.data(), (uint32_t)records.size()}});
    ExpectRefusedWith(TAMPERED);
}

TEST(ArchiveWindowTest, DamagedRecordEntryShowsTheLoaderStatus) {
    InstallTable(RecordFile(kSmallTable));
    morbivue_archive_start[EntryOffset("engtextrecords.dat") + 20] ^= 0x01;
    ExpectRefusedWith("Failed to read ICD10 data: ERR_CHECKSUM");
}

TEST(ArchiveWindowTest, MalformedRecordFileShowsTheLoaderStatus) {
    std::string records = RecordFile(kSmallTable);
    records[1] = 0x00;  // the first record's marker
    InstallTable(records);
    ExpectRefusedWith("Failed to read ICD10 data: ERR_INVDATA");
}

// Without its 7th characters the window would call codes billable that are not.
TEST(ArchiveWindowTest, MissingOrBadSeventhCharactersShowTheLoaderStatus) {
    std::string records = RecordFile(kSmallTable);
    InstallArchive({{"HelpText.txt", kHelp, (uint32_t)strlen(kHelp)},
                    {"engtextrecords.dat", records.data(), (uint32_t)records.size()}});
    ExpectRefusedWith("Failed to read ICD10 data: ERR_NOTFOUND");
    InstallTable(records, "D\tB99\tA\tno such code\n");
    ExpectRefusedWith("Failed to read ICD10 data: ERR_INVDATA");
    InstallTable(records);
    morbivue_archive_start[EntryOffset("sevenchr.txt") + 3] ^= 0x01;
    ExpectRefusedWith("Failed to read ICD10 data: ERR_CHECKSUM");
}

// The three index files of a build without the Index to Diseases, small.
const char kNeoplasm[] = "MORBIVUE-INDEX\t1\tneoplasm\nH\t2\tMalignant\nL\tN\n"
                         "E\t0\tNeoplasm, neoplastic\nX\t2\tC80.1\n";
const char kDrug[] = "MORBIVUE-INDEX\t1\tdrug\nH\t2\tAccidental\nL\tA\nE\t0\tAspirin\n"
                     "X\t2\tT39.011\n";
const char kExternal[] = "MORBIVUE-INDEX\t1\texternal\nL\tC\nE\t0\tCholera epidemic\nC\tA00\n";

void InstallWithIndexes(const char *drug) {
    static std::string records;
    records = RecordFile(kSmallTable);
    InstallArchive({{"HelpText.txt", kHelp, (uint32_t)strlen(kHelp)},
                    {"engtextrecords.dat", records.data(), (uint32_t)records.size()},
                    {"sevenchr.txt", kSevens, (uint32_t)strlen(kSevens)},
                    {"index_neoplasm.dat", kNeoplasm, (uint32_t)strlen(kNeoplasm)},
                    {"index_drug.dat", drug, (uint32_t)strlen(drug)},
                    {"index_external.dat", kExternal, (uint32_t)strlen(kExternal)}});
}

std::string StatusText(const BrowserWindow *w) {
    char text[300] = {};
    GetWindowTextA(w->indexTab->status.handle, text, sizeof text);
    return text;
}

// The window opens with the classification whole and the Index tab saying why it is empty.
void ExpectIndexTabFailure(const char *status) {
    int32_t live = TracerLiveBlocks();
    OpenedBrowser b = OpenBrowser();
    ASSERT_NE(b.w, nullptr);
    BrowserWindow *w = b.w;
    EXPECT_EQ(SendMessageA(w->tree.handle, TVM_GETCOUNT, 0, 0), 3);
    SendMessageA(w->tab.handle, TCM_SETCURSEL, INDEX_TAB, 0);
    ShowTab(w, INDEX_TAB);
    EXPECT_EQ(w->indexTab->set.entryCount, 0);
    EXPECT_NE(StatusText(w).find(std::string("could not be read (") + status + ")"),
              std::string::npos)
        << StatusText(w);
    EXPECT_TRUE(IsWindowVisible(w->indexTab->status.handle));
    EXPECT_FALSE(IsWindowVisible(w->indexTab->list.handle));
    EXPECT_FALSE(IsWindowEnabled(w->indexTab->edit.handle));
    EXPECT_EQ(IndexSearchInWindow(w, "cholera"), ERR_NOTAVAIL);
    SendMessageA(w->tree.handle, TVM_SELECTITEM, TVGN_CARET, (LPARAM)TreeItemFor(w, 3));
    char page[64] = {};
    GetWindowTextA(w->viewer.handle, page, sizeof page);
    EXPECT_EQ(std::string(page).rfind("A00 Cholera", 0), 0u) << page;
    EXPECT_EQ(CloseBrowser(&b), 0);
    EXPECT_EQ(TracerLiveBlocks(), live);
}

TEST(ArchiveWindowTest, SmallIndexesFillTheIndexTab) {
    InstallWithIndexes(kDrug);
    OpenedBrowser b = OpenBrowser();
    ASSERT_NE(b.w, nullptr);
    EXPECT_EQ(b.w->indexTab->loaded, 0);  // not at start-up
    EXPECT_EQ(IndexSearchInWindow(b.w, "cholera"), 0);
    EXPECT_EQ(b.w->indexTab->loadStatus, 0);
    EXPECT_EQ(b.w->indexTab->set.entryCount, 3);
    EXPECT_EQ(SendMessageA(b.w->indexTab->list.handle, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(StatusText(b.w), "");
    EXPECT_EQ(CloseBrowser(&b), 0);
}

TEST(ArchiveWindowTest, DamagedIndexEntryLeavesTheClassificationAndSaysSoInTheTab) {
    InstallWithIndexes(kDrug);
    morbivue_archive_start[EntryOffset("index_drug.dat") + 20] ^= 0x01;
    ExpectIndexTabFailure("ERR_CHECKSUM");
}

TEST(ArchiveWindowTest, MalformedOrMissingIndexFilesLeaveTheClassification) {
    InstallWithIndexes("MORBIVUE-INDEX\t1\tdrug\nL\tA\nE\t3\tdeep\n");
    ExpectIndexTabFailure("ERR_INVDATA");
    InstallWithIndexes(kExternal);  // the external causes' file under the drugs' name
    ExpectIndexTabFailure("ERR_INVFORMAT");
    InstallTable(RecordFile(kSmallTable));
    ExpectIndexTabFailure("ERR_NOTFOUND");
}


// The window on a small classification, at every allocation of its creation: each failure ends
// in the message box defined for it (the help text's, the loaders') or without a window when
// the window's own state cannot be had, or in a window that works: a page, a search and a link.
// Nothing may stay allocated and the program's exit code stays 0.
TEST(ArchiveWindowTest, CreationAtEveryAllocationEndsInItsMessageOrAWorkingWindow) {
    std::vector<RecordLine> table = kSmallTable;
    table[4].line = "A01;Typhoid and paratyphoid fevers;;;cholera (A00)./;;;;";
    InstallTable(RecordFile(table));
    int32_t points = 0, boxes = 0, silent = 0, degraded = 0;
    for (uint32_t n = 1; n < 2000; n++) {
        const int32_t live = TracerLiveBlocks();
        const int32_t errors = TracerErrors();
        OpenedBrowser b = {};
        b.app = (AppContext *)MemAlloc(sizeof(AppContext));
        ASSERT_NE(b.app, nullptr);
        b.app->instance = GetModuleHandleA(nullptr);
        ScheduleMessageBoxClose("Error");
        TracerFailAllocation(n);
        const int32_t status = CreateBrowserWindow(b.app);
        const bool hit = TracerFailuresHit() > 0;
        TracerFailAllocation(0);
        b.window = FindWindowA("TextRecordViewerClass", nullptr);
        b.w = b.window ? (BrowserWindow *)GetWindowLongPtrA(b.window, GWLP_USERDATA) : nullptr;
        if (!b.window) {
            const std::string box = FinishMessageBox();
            EXPECT_EQ(status, ERR_ERROR) << n;
            if (box == "<no box>") {
                silent++;
            } else {
                boxes++;
                EXPECT_TRUE(box == TAMPERED || box == "Failed to read ICD10 data: ERR_ALLOC")
                    << "failure point " << n << ": " << box;
            }
            CloseBrowser(&b);
        } else {
            CancelMessageBoxClose();
            PumpMessages();
            BrowserWindow *w = b.w;
            ASSERT_NE(w, nullptr) << n;
            if (hit) degraded++;
            EXPECT_EQ(GoToCode(w, PAGE_KIND_RECORD, "A01"), 0) << n;
            HWND viewer = w->viewer.handle;
            char text[200] = {};
            GetWindowTextA(viewer, text, sizeof text);
            EXPECT_EQ(std::string(text).rfind("A01 Typhoid", 0), 0u) << n << ": " << text;
            EXPECT_EQ(SearchInWindow(w, "cholera"), 0) << n;
            EXPECT_EQ(w->search.hitCount, 2) << n;
            FINDTEXTEXA find = {};
            find.chrg.cpMin = 0;
            find.chrg.cpMax = -1;
            find.lpstrText = "(A00)";
            SendMessageA(w->tab.handle, TCM_SETCURSEL, 0, 0);
            ShowTab(w, 0);
            ASSERT_EQ(GoToCode(w, PAGE_KIND_RECORD, "A01"), 0) << n;
            const LRESULT at = SendMessageA(viewer, EM_FINDTEXTEX, FR_DOWN, (LPARAM)&find);
            ASSERT_GE(at, 0) << n;
            ENLINK link = {};
            link.nmhdr.hwndFrom = viewer;
            link.nmhdr.idFrom = IDC_VIEWER;
            link.nmhdr.code = EN_LINK;
            link.msg = WM_LBUTTONDOWN;
            link.chrg.cpMin = (LONG)at + 1;
            link.chrg.cpMax = (LONG)at + 4;
            SendMessageA(w->window, WM_NOTIFY, IDC_VIEWER, (LPARAM)&link);
            GetWindowTextA(viewer, text, sizeof text);
            EXPECT_EQ(std::string(text).rfind("A00 Cholera", 0), 0u) << n << ": " << text;
            EXPECT_EQ(CloseBrowser(&b), 0) << n;
        }
        EXPECT_EQ(TracerLiveBlocks(), live) << "leak at failure point " << n;
        EXPECT_EQ(TracerErrors(), errors) << "at failure point " << n;
        if (!hit) break;
        points++;
    }
    printf("window creation: %d failure points: %d message boxes, %d without a window or a "
           "message, %d working windows\n", points, boxes, silent, degraded);
    EXPECT_GT(points, 20);
}

}  // namespace
