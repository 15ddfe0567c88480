// The later releases' changes: parsing the entry, the lookups by code, bad entries, and the
// entry the build makes from the real addenda.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/embedded_archive.h"
#include "classification/release_changes.h"
#include "foundation/mem.h"
#include "foundation/status.h"
#include "record_fixture.h"

namespace {

const char kSmall[] =
    "morbivue-changes\t1\t2\n"
    "release\t2023-04\t1\n"
    "A\t0\tT74.A\tFinancial abuse, confirmed\n"
    "release\t2024\t4\n"
    "S\t0\tD13.9\tBenign neoplasm, digestive system\t1\tBenign neoplasm of the digestive system\n"
    "A\t1\tD13.91\tFamilial adenomatous polyposis\n"
    "R\t1\tA77.41\tEhrlichiosis chaffeensis\t1\tEhrlichiosis chafeensis\n"
    "D\t1\tT81.32XA\tDisruption of wound, initial encounter\n";

class Changes {
public:
    explicit Changes(const std::string &text) {
        status = ReleaseChangesParse(&changes, text.data(), (int32_t)text.size());
    }
    ~Changes() { ReleaseChangesFree(&changes); }
    // Codes of the matching changes, in the order found.
    std::vector<std::string> Find(const char *code, ReleaseMatch match) {
        int32_t positions[64];
        int32_t n = ReleaseChangesFind(&changes, code, match, positions, 64);
        std::vector<std::string> codes;
        for (int32_t i = 0; i < n && i < 64; i++) {
            codes.push_back(ReleaseChangesAt(&changes, positions[i])->code);
        }
        return codes;
    }
    ReleaseChanges changes = {};
    int32_t status = 0;
};

}  // namespace

TEST(ReleaseChanges, ParsesReleasesAndChangesInOrder) {
    Changes c(kSmall);
    ASSERT_EQ(c.status, 0);
    ASSERT_EQ(c.changes.releaseCount, 2);
    EXPECT_STREQ(ReleaseChangesReleaseName(&c.changes, 0), "2023-04");
    EXPECT_STREQ(ReleaseChangesReleaseLabel(&c.changes, 0), "April 2023");
    EXPECT_STREQ(ReleaseChangesReleaseName(&c.changes, 1), "2024");
    EXPECT_STREQ(ReleaseChangesReleaseLabel(&c.changes, 1), "FY2024");
    EXPECT_STREQ(ReleaseChangesReleaseLabel(&c.changes, 2), "");
    ASSERT_EQ(c.changes.changeCount, 5);
    const ReleaseChange *split = ReleaseChangesAt(&c.changes, 1);
    EXPECT_EQ(split->release, 1);
    EXPECT_EQ(split->kind, CHANGE_SPLIT);
    EXPECT_EQ(split->billable, 0);
    EXPECT_EQ(split->fromBillable, 1);
    EXPECT_STREQ(split->code, "D13.9");
    EXPECT_STREQ(split->title, "Benign neoplasm, digestive system");
    EXPECT_STREQ(split->fromTitle, "Benign neoplasm of the digestive system");
    const ReleaseChange *added = ReleaseChangesAt(&c.changes, 0);
    EXPECT_EQ(added->release, 0);
    EXPECT_EQ(added->billable, 0);
    EXPECT_EQ(added->fromBillable, 0);
    EXPECT_STREQ(added->fromTitle, "");
    EXPECT_EQ(ReleaseChangesAt(&c.changes, 5), nullptr);
    EXPECT_EQ(ReleaseChangesAt(&c.changes, -1), nullptr);
    EXPECT_STREQ(ReleaseChangeKindName(CHANGE_REVISED), "revised");
    EXPECT_STREQ(ReleaseChangeKindName('x'), "");
}

TEST(ReleaseChanges, FindsOneCodeOrEveryCodeBeginningWithIt) {
    Changes c(kSmall);
    ASSERT_EQ(c.status, 0);
    EXPECT_EQ(c.Find("D13.9", RELEASE_MATCH_CODE), (std::vector<std::string>{"D13.9"}));
    EXPECT_EQ(c.Find(" d139 ", RELEASE_MATCH_PREFIX),
              (std::vector<std::string>{"D13.9", "D13.91"}));
    EXPECT_EQ(c.Find("D13", RELEASE_MATCH_PREFIX), (std::vector<std::string>{"D13.9", "D13.91"}));
    EXPECT_EQ(c.Find("D13", RELEASE_MATCH_CODE), std::vector<std::string>{});
    EXPECT_EQ(c.Find("T81.32", RELEASE_MATCH_PREFIX), (std::vector<std::string>{"T81.32XA"}));
    EXPECT_EQ(c.Find("T74a", RELEASE_MATCH_CODE), (std::vector<std::string>{"T74.A"}));
    EXPECT_EQ(c.Find("B12", RELEASE_MATCH_PREFIX), std::vector<std::string>{});
    int32_t one[1] = {-1};
    EXPECT_EQ(ReleaseChangesFind(&c.changes, "D13", RELEASE_MATCH_PREFIX, one, 1), 2)
        << "the count is of all matches";
    EXPECT_EQ(one[0], 1);
    EXPECT_EQ(ReleaseChangesFind(&c.changes, "D13", RELEASE_MATCH_PREFIX, nullptr, 0), 2);
    EXPECT_EQ(ReleaseChangesFind(&c.changes, "D1", RELEASE_MATCH_PREFIX, nullptr, 0), ERR_INVVALUE);
    EXPECT_EQ(ReleaseChangesFind(&c.changes, nullptr, RELEASE_MATCH_PREFIX, nullptr, 0),
              ERR_NULLPTR);
    EXPECT_EQ(ReleaseChangesFind(&c.changes, "D13", RELEASE_MATCH_PREFIX, nullptr, 1), ERR_NULLPTR);
}

TEST(ReleaseChanges, NormalisesTypedCodes) {
    char out[CHANGE_CODE_CHARS + 1];
    struct {
        const char *typed;
        const char *code;
    } good[] = {{"d1391", "D13.91"}, {"D13.91", "D13.91"}, {"  t8132xa\t", "T81.32XA"},
                {"A00", "A00"},      {"c50a", "C50.A"},    {"A1CDEFGHIJKLMN", "A1C.DEFGHIJKLMN"}, {"qa0.0101", "QA0.0101"}};
    for (const auto &g : good) {
        ASSERT_EQ(ReleaseChangesNormalize(g.typed, out), 0) << g.typed;
        EXPECT_STREQ(out, g.code);
    }
    for (const char *bad : {"", "  ", "D1", "1A0", "D13.", "D1.39", "D13..9", "D13 9", "D13-D19",
                            "A1CDEFGHIJKLMNO", "A00.0#"}) {
        EXPECT_EQ(ReleaseChangesNormalize(bad, out), ERR_INVVALUE) << bad;
    }
    EXPECT_EQ(ReleaseChangesNormalize(nullptr, out), ERR_NULLPTR);
}

// A damaged entry is refused with the line and reason logged, and nothing kept.
TEST(ReleaseChanges, BadEntriesAreRefused) {
    const std::string head = "morbivue-changes\t1\t1\nrelease\t2024\t1\n";
    struct {
        const char *what;
        std::string text;
        int32_t status;
        const char *logged;
    } cases[] = {
        {"empty", "", ERR_INVDATA, "line 1: empty"},
        {"other magic", "morbivue-records\t1\t1\n", ERR_INVDATA, "line 1: not a changes entry"},
        {"version 2", "morbivue-changes\t2\t0\n", ERR_INVDATA, "line 1: not a changes entry"},
        {"too many releases", "morbivue-changes\t1\t33\n", ERR_TOOMANY, "line 1: too many"},
        {"no line feed", head + "A\t1\tA41.54\tSepsis", ERR_INVDATA, "line 3: the last line"},
        {"carriage return", head + "A\t1\tA41.54\tSepsis\r\n", ERR_INVDATA,
         "line 3: control character"},
        {"zero byte", head + std::string("A\t1\tA41.54\tSep\0sis\n", 19), ERR_INVDATA,
         "line 3: control character"},
        {"kind", head + "X\t1\tA41.54\tSepsis\n", ERR_INVDATA, "line 3: unknown kind"},
        {"fields", head + "A\t1\tA41.54\n", ERR_INVDATA, "line 3: wrong number of fields"},
        {"revision without before", head + "R\t1\tA41.54\tSepsis\n", ERR_INVDATA,
         "line 3: wrong number of fields"},
        {"seven fields", head + "R\t1\tA41.54\tSepsis\t1\tOld\tmore\n", ERR_INVDATA,
         "line 3: too many fields"},
        {"status", head + "A\t2\tA41.54\tSepsis\n", ERR_INVDATA, "line 3: status"},
        {"code without dot", head + "A\t1\tA4154\tSepsis\n", ERR_INVDATA, "line 3: bad code"},
        {"code in lower case", head + "A\t1\ta41.54\tSepsis\n", ERR_INVDATA, "line 3: bad code"},
        {"empty title", head + "A\t1\tA41.54\t\n", ERR_INVDATA, "line 3: empty title"},
        {"count beyond the entry", head, ERR_INVDATA, "line 3: the entry ends early"},
        {"release missing", "morbivue-changes\t1\t2\nrelease\t2024\t0\n", ERR_INVDATA,
         "line 3: the entry ends early"},
        {"extra release", "morbivue-changes\t1\t0\nrelease\t2024\t0\n", ERR_INVDATA,
         "line 2: more releases"},
        {"bad release name", "morbivue-changes\t1\t1\nrelease\tFY 2024\t0\n", ERR_INVDATA,
         "line 2: expected a release line"},
        {"change after the count", head + "A\t1\tA41.54\tSepsis\nA\t1\tA41.55\tSepsis\n",
         ERR_INVDATA, "line 4: expected a release line"},
    };
    for (const auto &c : cases) {
        LogCapture log;
        Changes parsed(c.text);
        EXPECT_EQ(parsed.status, c.status) << c.what;
        EXPECT_NE(log.Text().find(std::string("changes entry, ") + c.logged), std::string::npos)
            << c.what << ": " << log.Text();
        EXPECT_NE(log.Text().find(std::string("failed to load the later releases' changes: ") +
                                  StatusName(c.status)),
                  std::string::npos)
            << c.what << ": " << log.Text();
        EXPECT_EQ(parsed.changes.changeCount, 0) << c.what;
        EXPECT_EQ(parsed.changes.changes, nullptr) << c.what;
        EXPECT_EQ(parsed.changes.text, nullptr) << c.what;
    }
    Changes none("morbivue-changes\t1\t0\n");
    EXPECT_EQ(none.status, 0) << "no later release is known";
    EXPECT_EQ(ReleaseChangesParse(nullptr, "x", 1), ERR_NULLPTR);
}

TEST(ReleaseChanges, LinkedEntryHoldsFy2027sChanges) {
    ReleaseChanges c = {};
    ASSERT_EQ(ReleaseChangesLoad(&c), 0);
    ASSERT_EQ(c.releaseCount, 5);
    EXPECT_STREQ(ReleaseChangesReleaseLabel(&c, 4), "FY2027");
    EXPECT_EQ(c.changeCount, 58 + 543 + 341 + 687 + 278);
    int32_t positions[32];
    ASSERT_EQ(ReleaseChangesFind(&c, "D13.9", RELEASE_MATCH_PREFIX, positions, 32), 3);
    const ReleaseChange *split = ReleaseChangesAt(&c, positions[0]);
    EXPECT_EQ(split->kind, CHANGE_SPLIT);
    EXPECT_STREQ(ReleaseChangesReleaseLabel(&c, split->release), "FY2024");
    EXPECT_STREQ(ReleaseChangesAt(&c, positions[1])->code, "D13.91");
    // T81.32's complete codes went in FY2025; four new codes with their own complete ones came.
    int32_t n = ReleaseChangesFind(&c, "T81.32", RELEASE_MATCH_PREFIX, positions, 32);
    ASSERT_EQ(n, 19);
    int32_t deleted = 0, headers = 0;
    for (int32_t i = 0; i < n; i++) {
        const ReleaseChange *change = ReleaseChangesAt(&c, positions[i]);
        EXPECT_STREQ(ReleaseChangesReleaseName(&c, change->release), "2025");
        deleted += change->kind == CHANGE_DELETED;
        headers += change->kind == CHANGE_ADDED && change->billable == 0;
    }
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(headers, 4);
    EXPECT_EQ(ReleaseChangesFree(&c), 0);
    EXPECT_EQ(c.changes, nullptr);
}

// The help text must name the last release whose changes the program knows; a newer addenda
// file in the build makes this fail until the text is brought up to date.
TEST(ReleaseChanges, HelpTextNamesTheDataReleaseAndTheLastKnownChanges) {
    ReleaseChanges c = {};
    ASSERT_EQ(ReleaseChangesLoad(&c), 0);
    ASSERT_GT(c.releaseCount, 0);
    std::string last = ReleaseChangesReleaseLabel(&c, c.releaseCount - 1);
    ReleaseChangesFree(&c);
    int32_t size = 0;
    char *help = nullptr;
    ASSERT_EQ(PakLoadEmbeddedEntry("HelpText.txt", &size, &help), 0);
    std::string text(help, (size_t)size);
    MemFree(help);
    EXPECT_NE(text.find("Morbivue holds ICD-10-CM " + last +
                        " (codes and titles; instructional notes of FY2023)"),
              std::string::npos)
        << last;
}
