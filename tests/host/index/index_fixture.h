// Small index sets for the index tests, built from index file text written in the test.
#pragma once
#include <string>

#include "classification/page_compose.h"
#include "index/index_set.h"

// Parses each non-empty text as the file of its kind (in kind order) into set; fails the
// calling test when one does not parse.
void IndexFixtureMake(IndexSet *set, const std::string &diseases, const std::string &neoplasm,
                      const std::string &drug, const std::string &external);

// "MORBIVUE-INDEX\t1\tKIND\n" + body.
std::string IndexFixtureFile(const char *kind, const std::string &body);

// A sink that keeps the page's text with each link between "<" and ">".
struct IndexFixturePage {
    std::string marked;
    PageSink sink;
};
void IndexFixturePageInit(IndexFixturePage *page);
