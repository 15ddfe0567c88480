// libFuzzer target: arbitrary bytes parsed as the guidelines entry; every section's page
// composed (its code and section links read), a search and an ID lookup with words taken from the
// input, and the code map with a few codes and those words.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "guidelines/guideline_codes.h"
#include "guidelines/guideline_file.h"
#include "guidelines/guideline_page.h"
#include "guidelines/guideline_search.h"

static void CountText(void *context, const char *, int32_t length) {
    *(int32_t *)context += length;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    GuidelineFile file = {};
    if (GuidelineFileParse((const char *)data, size, &file) < 0) return 0;
    int32_t written = 0;
    PageSink sink = {&written, nullptr, nullptr, nullptr, CountText};
    for (int32_t n = 0; n < file.sectionCount; n++) {
        if (file.sections[n].end <= n || file.sections[n].end > file.sectionCount) __builtin_trap();
        ComposeGuideline(&file, n, &sink);
    }
    char words[64] = {};
    memcpy(words, data, size < sizeof words - 1 ? size : sizeof words - 1);
    for (char &c : words)
        if (c == '\0' && &c != &words[63]) c = ' ';
    GuidelineFind(&file, words);
    int32_t hits[64], count = 0;
    GuidelineSearch(&file, words, hits, 64, &count);
    GuidelineCodeMap map = {};
    if (GuidelineCodeMapBuild(&map, &file) == 0) {
        for (const char *code : {"E11.22", "T36.0X1", "A00", "Z68.41", "E08-E13", "QA0.0", (const char *)words})
            ComposeGuidelineSections(&file, &map, code, &sink);
    }
    GuidelineCodeMapFree(&map);
    GuidelineFileFree(&file);
    return 0;
}
