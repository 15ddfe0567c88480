// The small classification of tree_fixture.h.
#include "tree_fixture.h"

#include <vector>

#include "classification/code_refs.h"
#include "record_fixture.h"

const char kTreeSevens[] =
    "D\tS06\tA\tinitial encounter\tD\tsubsequent encounter\tS\tsequela\n"
    "X\tS06\t78\tDS\n"
    "D\tS09\tA\tinitial encounter\n";

struct TreeRow {
    uint32_t parent;
    bool leaf;
    const char *line;
};

static const TreeRow kRows[] = {
    {0xFFFFFFFF, false, "ICD10CM.tabular;"},
    {0, false, "S00-T88;Injury, poisoning (S00-T88);;;;;;;Chapter note./"},
    {1, false, "S00-S09;Injuries to the head (S00-S09);;;;;;;Block note./"},
    {2, false, "S06;Intracranial injury;;Use F06.7 also./;head injury NOS (S09.90)./;;;;"
               "The appropriate 7th character is to be added./A initial encounter./"
               "D subsequent encounter./S sequela./"},
    {3, false, "S06.0;Concussion;Commotio cerebri./;;;;;;"},
    {4, false, "S06.0X;Concussion;;;;;;;"},
    {5, true, "S06.0X1;Concussion with loss of consciousness;;;;;;;"},
    {5, true, "S06.0X7;Concussion with death;;;;;;;"},
    {2, false, "S09;Other injuries of head;;;;;;;"},
    {8, true, "S09.9;Unspecified injury of head;;;;;;;"},
    {0, false, "E00-E89;Endocrine diseases (E00-E89);;;;;;;"},
    {10, false, "E08-E13;Diabetes mellitus (E08-E13);;;;;;;"},
    {11, false, "E11;Type 2 diabetes mellitus;;Use additional code for insulin (Z79.4)./;"
                "diabetes mellitus due to underlying condition (E08.-)./;;;;"},
    {12, false, "E11.2;Type 2 diabetes mellitus with kidney complications;;;;;;;"},
    {13, true, "E11.22;Type 2 diabetes mellitus with diabetic chronic kidney disease;;"
               "Use additional code to identify stage of chronic kidney disease (N18.1-N18.6)./;"
               ";;;;"},
    {12, true, "E11.9;Type 2 diabetes mellitus without complications;;;;;;;"},
};

TreeTable::TreeTable() {
    std::string bytes;
    uint32_t index = 0;
    for (const TreeRow &row : kRows) {
        uint8_t level = row.parent == 0xFFFFFFFF ? 0 : 1;
        uint16_t flags = row.leaf ? (uint16_t)RECORD_FLAG_LEAF : (uint16_t)0;
        bytes += RecordHeader(level, 0xE7, flags, index++, row.parent) +
                 row.line + "\n";
    }
    bytes += EndRecord();
    status = ParseTextRecords(bytes.data(), (int32_t)bytes.size(), &table.recordCount,
                              &table.records);
    if (status == 0) status = CodeIndexBuild(&table);
    if (status == 0) {
        status = SeventhCharParse(&chars, &table, kTreeSevens, (int32_t)sizeof kTreeSevens - 1);
    }
}

TreeTable::~TreeTable() {
    SeventhCharFree(&chars);
    RecordTableFree(&table);
}
