// Checks one addenda file against itself and the release before it: the lines that make one
// change joined, what the changes add up to held against each count of its summary.
#include "tools/convert/addenda_check.h"

#include <cstring>
#include <map>

#include "foundation/status.h"

int32_t AddendaCheckJoin(std::vector<AddendaChange> *raw, const std::string &file,
                         std::string *error)
{
    std::vector<AddendaChange> joined;
    std::map<std::string, size_t> seen;  // code -> its change in joined
    for (size_t k = 0; k < raw->size(); k++) {
        AddendaChange c = (*raw)[k];
        if (c.kind == 'T') {
            return AddendaFileFail(error, ERR_INVDATA, file, c.line,
                                   "Revise to: without a Revise from:");
        }
        if (c.kind == 'F') {
            if (k + 1 >= raw->size() || (*raw)[k + 1].kind != 'T' ||
                (*raw)[k + 1].code != c.code) {
                return AddendaFileFail(error, ERR_INVDATA, file, c.line,
                                       "Revise from: not followed by the Revise to: of " + c.code);
            }
            const AddendaChange &to = (*raw)[++k];
            c.kind = 'R';
            c.fromBillable = c.billable;
            c.fromTitle = c.title;
            c.fromShort = c.shortTitle;
            c.billable = to.billable;
            c.title = to.title;
            c.shortTitle = to.shortTitle;
        }
        auto found = seen.find(c.code);
        if (found == seen.end()) {
            seen[c.code] = joined.size();
            joined.push_back(c);
            continue;
        }
        AddendaChange &first = joined[found->second];
        if (first.kind == 'D' && first.billable && c.kind == 'A' && !c.billable) {
            first.kind = 'S';
            first.fromBillable = true;
            first.fromTitle = first.title;
            first.billable = false;
            first.title = c.title;
            continue;
        }
        return AddendaFileFail(error, ERR_INVDATA, file, c.line,
                               c.code + " changed twice in one release (also on line " +
                                   std::to_string(first.line) + ")");
    }
    *raw = joined;
    return 0;
}

// What the joined changes add up to, section by section (0 headers, 1 codes), as the summary
// counts them: a split is a deleted code and an added header.
static void CountChanges(const std::vector<AddendaChange> &changes, AddendaSection counted[2])
{
    memset(counted, 0, 2 * sizeof *counted);
    for (const AddendaChange &c : changes) {
        switch (c.kind) {
        case 'A': counted[c.billable].additions++; break;
        case 'D': counted[c.billable].deletions++; break;
        case 'S':
            counted[1].deletions++;
            counted[0].additions++;
            break;
        case 'R': {
            AddendaSection &s = counted[c.fromBillable];
            s.revisions++;
            bool longChanged = c.title != c.fromTitle;
            bool shortChanged = c.shortTitle != c.fromShort;
            if (longChanged && shortChanged) {
                s.both++;
            } else if (longChanged) {
                s.longOnly++;
            } else if (shortChanged) {
                s.shortOnly++;
            }
            break;
        }
        }
    }
}

int32_t AddendaCheckSummary(const AddendaFile &rf, std::string *error)
{
    AddendaSection counted[2];
    CountChanges(rf.changes, counted);
    static const char *const kNames[] = {"additions", "deletions", "revisions", nullptr,
                                         "revisions to both long and short titles",
                                         "revisions to long title only",
                                         "revisions to short title only"};
    const std::string &file = rf.input->name;
    for (int s = 0; s < 2; s++) {
        const AddendaSection &st = rf.stated[s];
        const long got[] = {counted[s].additions, counted[s].deletions, counted[s].revisions, 0,
                            counted[s].both, counted[s].longOnly, counted[s].shortOnly};
        const long said[] = {st.additions, st.deletions, st.revisions, 0,
                             st.both, st.longOnly, st.shortOnly};
        for (int k = 0; k < 7; k++) {
            if (kNames[k] != nullptr && got[k] != said[k]) {
                return AddendaFileFail(error, ERR_INVVALUE, file, st.lines[k],
                                       "the summary says " + std::to_string(said[k]) + " " +
                                           kNames[k] + " of " + (s == 0 ? "headers" : "codes") +
                                           ", the file has " + std::to_string(got[k]));
            }
        }
        if (st.both + st.longOnly + st.shortOnly != st.revisions) {
            return AddendaFileFail(error, ERR_INVVALUE, file, st.lines[4],
                                   "the kinds of revision do not add up to the revisions");
        }
        if (st.before + st.additions - st.deletions != st.after) {
            return AddendaFileFail(error, ERR_INVVALUE, file, st.afterLine,
                                   std::to_string(st.before) + " + " +
                                       std::to_string(st.additions) + " - " +
                                       std::to_string(st.deletions) + " is not " +
                                       std::to_string(st.after));
        }
    }
    return 0;
}

int32_t AddendaCheckFollows(const AddendaFile &previous, const AddendaFile &rf, std::string *error)
{
    // Each release starts where the one before ended; a gap means a missing file.
    for (int s = 0; s < 2; s++) {
        const AddendaSection &now = rf.stated[s];
        const AddendaSection &before = previous.stated[s];
        if (now.before != before.after) {
            return AddendaFileFail(error, ERR_INVVALUE, rf.input->name, now.beforeLine,
                                   "starts from " + std::to_string(now.before) + " " +
                                       (s == 0 ? "headers" : "codes") + ", but " +
                                       previous.input->name + " ended with " +
                                       std::to_string(before.after) +
                                       " (the addenda of a release between them missing?)");
        }
    }
    return 0;
}
