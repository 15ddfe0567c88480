// Tree plan: tree parents, child lists in table order and depths of a record table, made once
// when the table is loaded.
#include "classification/tree_plan.h"

#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static uint32_t *AllocWords(uint32_t count) {
    return (uint32_t *)MemAlloc((int32_t)(count * sizeof(uint32_t)));
}

void TreePlanFree(TreePlan *plan) {
    if (!plan)
        return;
    MemFree(plan->parent);
    MemFree(plan->firstChild);
    MemFree(plan->nextSibling);
    MemFree(plan->depth);
    *plan = TreePlan{};
    plan->topFirst = TREE_PLAN_NONE;
}

// A parent index that is not below the count ends the tree at that record.
static uint32_t TreeEnd(const TextRecord *records, uint32_t count) {
    for (uint32_t i = 1; i < count; i++) {
        const int32_t p = (int32_t)records[i].parent;
        if (p >= (int32_t)count) {
            ErrorPrint("parent index overflow( %d / %d ) in treeview", p, (int32_t)count);
            return i;
        }
    }
    return count;
}

int32_t TreePlanBuild(TreePlan *plan, const TextRecord *records, uint32_t count) {
    if (!plan || !records)
        return ERR_NULLPTR;
    TreePlanFree(plan);
    if (count == 0)
        return ERR_EMPTY;
    // Bounded by the table, which lives in memory: the arrays' sizes fit in an int32_t.
    if (count > 0x1FFFFFFFu)
        return ERR_ALLOC;
    const uint32_t end = TreeEnd(records, count);
    plan->parent = AllocWords(end);
    plan->firstChild = AllocWords(end);
    plan->nextSibling = AllocWords(end);
    plan->depth = AllocWords(end);
    uint32_t *lastChild = AllocWords(end + 1);  // the last slot is the top level's
    if (!plan->parent || !plan->firstChild || !plan->nextSibling || !plan->depth || !lastChild) {
        MemFree(lastChild);
        TreePlanFree(plan);
        return ERR_ALLOC;
    }
    plan->count = end;
    for (uint32_t i = 0; i <= end; i++) {
        if (i < end)
            plan->firstChild[i] = plan->nextSibling[i] = TREE_PLAN_NONE;
        lastChild[i] = TREE_PLAN_NONE;
    }
    for (uint32_t i = 0; i < end; i++) {
        const int32_t p = (int32_t)records[i].parent;
        // Record 0 and a record whose parent comes after it sit at the top level.
        const uint32_t parent = i == 0 || p >= (int32_t)i ? TREE_PLAN_NONE
                                : p <= 0                   ? 0u
                                                           : (uint32_t)p;
        plan->parent[i] = parent;
        // A deleted code leaves the tree with everything below it; its page stays reachable.
        if ((i > 0 && (records[i].flags & RECORD_FLAG_DELETED)) ||
            (parent != TREE_PLAN_NONE && plan->depth[parent] == TREE_PLAN_NONE)) {
            plan->parent[i] = TREE_PLAN_NONE;
            plan->depth[i] = TREE_PLAN_NONE;
            continue;
        }
        plan->depth[i] = parent == TREE_PLAN_NONE ? 0 : plan->depth[parent] + 1;
        if (plan->depth[i] > plan->maxDepth)
            plan->maxDepth = plan->depth[i];
        const uint32_t slot = parent == TREE_PLAN_NONE ? end : parent;
        if (lastChild[slot] == TREE_PLAN_NONE) {
            if (parent == TREE_PLAN_NONE)
                plan->topFirst = i;
            else
                plan->firstChild[parent] = i;
        } else {
            plan->nextSibling[lastChild[slot]] = i;
        }
        lastChild[slot] = i;
    }
    MemFree(lastChild);
    return 0;
}

uint32_t TreePlanFirstChild(const TreePlan *plan, uint32_t parent) {
    if (!plan || !plan->firstChild)
        return TREE_PLAN_NONE;
    if (parent == TREE_PLAN_NONE)
        return plan->topFirst;
    return parent < plan->count ? plan->firstChild[parent] : TREE_PLAN_NONE;
}

uint32_t TreePlanNext(const TreePlan *plan, uint32_t record) {
    if (!plan || !plan->nextSibling || record >= plan->count)
        return TREE_PLAN_NONE;
    return plan->nextSibling[record];
}

int32_t TreePlanHolds(const TreePlan *plan, uint32_t record) {
    return plan && plan->depth && record < plan->count && plan->depth[record] != TREE_PLAN_NONE;
}

uint32_t TreePlanParent(const TreePlan *plan, uint32_t record) {
    if (!plan || !plan->parent || record >= plan->count)
        return TREE_PLAN_NONE;
    return plan->parent[record];
}
