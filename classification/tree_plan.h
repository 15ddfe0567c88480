// Tree plan: where each record's item goes in the browser's tree (its tree parent and its place
// among its siblings) and its depth, so that the window can make items when they are first
// needed rather than all 46,000 at start. It knows nothing of windows or items.
#pragma once
#include <cstdint>

#include "classification/record_table.h"

enum : uint32_t {
    TREE_PLAN_NONE = 0xFFFFFFFFu,  // no record: the top level, or the end of a list
};

struct TreePlan {
    uint32_t count;         // records in the tree: those before the first parent index that is
                            // not below the table's count
    uint32_t topFirst;      // first record at the top level (record 0); TREE_PLAN_NONE if empty
    uint32_t maxDepth;      // largest depth
    uint32_t *parent;       // tree parent of each record; TREE_PLAN_NONE at the top level
    uint32_t *firstChild;   // first record under it in table order; TREE_PLAN_NONE for none
    uint32_t *nextSibling;  // next record under the same tree parent; TREE_PLAN_NONE at the end
    uint32_t *depth;        // tree parents above it: 0 at the top level; TREE_PLAN_NONE for a
                            // record left out of the tree (deleted, or below a deleted one)
};

// Builds the plan of a record table. Record 0 is at the top level; a record whose parent index
// is 0 or above 0xFFFFFFFE (the root's own) goes under record 0; a record flagged
// RECORD_FLAG_DELETED, and every record below it, is in no list (its depth TREE_PLAN_NONE); one
// whose parent does not come
// before it goes to the top level, after record 0, in table order; the first record whose parent
// index is not below the count ends the tree (logged). 0; ERR_NULLPTR; ERR_EMPTY for no records;
// ERR_ALLOC, leaving the plan empty. Frees an earlier plan first.
int32_t TreePlanBuild(TreePlan *plan, const TextRecord *records, uint32_t count);
// Releases the arrays and empties the plan; a null or empty plan is left alone.
void TreePlanFree(TreePlan *plan);
// The first record under `parent` (TREE_PLAN_NONE: the top level); TREE_PLAN_NONE if none or if
// `parent` is not in the plan.
uint32_t TreePlanFirstChild(const TreePlan *plan, uint32_t parent);
// The record after `record` under the same tree parent; TREE_PLAN_NONE at the end or outside.
uint32_t TreePlanNext(const TreePlan *plan, uint32_t record);
// The tree parent of `record`: TREE_PLAN_NONE at the top level or outside the plan.
uint32_t TreePlanParent(const TreePlan *plan, uint32_t record);
// 1 when `record` has a place in the tree: in the plan and not left out; else 0.
int32_t TreePlanHolds(const TreePlan *plan, uint32_t record);
