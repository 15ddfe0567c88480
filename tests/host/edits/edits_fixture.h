// The newest release and the payers' lists, loaded once per test suite for the edits tests.
#pragma once
#include <gtest/gtest.h>

#include "classification/releases.h"
#include "edits/edits_table.h"

class EditsRelease : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_EQ(ReleasesLoadTable(&releases, &table, &chars), 0);
        ASSERT_EQ(EditsLoad(&edits), 0);
    }
    static void TearDownTestSuite() {
        EditsFree(&edits);
        ReleasesFree(&releases);
        SeventhCharFree(&chars);
        RecordTableFree(&table);
    }
    static inline Releases releases = {};
    static inline RecordTable table = {};
    static inline SeventhCharTable chars = {};
    static inline EditsTable edits = {};
};
