// Small index sets for the index tests, built from index file text written in the test.
#include "index_fixture.h"

#include <gtest/gtest.h>

void IndexFixtureMake(IndexSet *set, const std::string &diseases, const std::string &neoplasm,
                      const std::string &drug, const std::string &external) {
    const std::string *texts[INDEX_KIND_COUNT] = {&diseases, &neoplasm, &drug, &external};
    IndexFile files[INDEX_KIND_COUNT] = {};
    IndexFile *pointers[INDEX_KIND_COUNT] = {};
    for (int k = 0; k < INDEX_KIND_COUNT; k++) {
        if (texts[k]->empty()) continue;
        ASSERT_EQ(IndexFileParse(texts[k]->data(), (int32_t)texts[k]->size(), &files[k]), 0)
            << *texts[k];
        pointers[k] = &files[k];
    }
    ASSERT_EQ(IndexSetAdopt(set, pointers), 0);
}

std::string IndexFixtureFile(const char *kind, const std::string &body) {
    return std::string("MORBIVUE-INDEX\t1\t") + kind + "\n" + body;
}

static void OnLink(void *c, int32_t on) { ((IndexFixturePage *)c)->marked += on ? "<" : ">"; }
static void OnText(void *c, const char *text, int32_t length) {
    ((IndexFixturePage *)c)->marked.append(text, (size_t)length);
}

void IndexFixturePageInit(IndexFixturePage *page) {
    page->marked.clear();
    page->sink = PageSink{page, nullptr, nullptr, OnLink, OnText};
}
