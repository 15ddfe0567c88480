// A small classification with a real hierarchy (chapters, blocks, headers, leaves) and its
// 7th-character entry, for the validity and page-context tests.
#pragma once
#include <string>

#include "classification/record_table.h"
#include "classification/seventh_chars.h"

// Records, in order (parent in brackets):
//  0 root; 1 S00-T88 [0]; 2 S00-S09 [1]; 3 S06 [2]; 4 S06.0 [3]; 5 S06.0X [4]; 6 S06.0X1 [5];
//  7 S06.0X7 [5]; 8 S09 [2]; 9 S09.9 [8]; 10 E00-E89 [0]; 11 E08-E13 [10]; 12 E11 [11];
//  13 E11.2 [12]; 14 E11.22 [13]; 15 E11.9 [12].
// S06 defines A, D, S (D and S not with 6th character 7 or 8), S09 defines A.
class TreeTable {
public:
    TreeTable();
    ~TreeTable();
    TreeTable(const TreeTable &) = delete;
    TreeTable &operator=(const TreeTable &) = delete;
    RecordTable table = {};
    SeventhCharTable chars = {};
    int32_t status = 0;
};

extern const char kTreeSevens[];
