// The notes of a tabular record: each note container of a chapter, section or <diag> mapped to
// fields 2-8, the ones that share field 8 in a fixed order. Child records are the tree's.
#include "tools/convert/tabular_notes.h"

#include <cstring>
#include <iterator>

#include "tools/convert/tabular_seventh.h"
#include "tools/convert/tabular_text.h"

// Note containers that map straight to one field.
struct NoteField {
    const char *element;
    uint32_t field;
};
static const NoteField kNoteFields[] = {
    {"includes", 2}, {"useAdditionalCode", 3}, {"excludes1", 4},
    {"excludes2", 5}, {"codeFirst", 6}, {"codeAlso", 7},
};

// Field 8 is built from these groups in this order, whatever the order in the XML.
enum NotesGroup { GROUP_INCLUSION, GROUP_NOTES, GROUP_SEVENTH_NOTE, GROUP_SEVENTH_DEF,
                  GROUP_TABLE, GROUP_COUNT };

// Children written nowhere: a chapter's list of its sections repeats the sections.
static const char *const kIgnoredChildren[] = {"sectionIndex"};

// The visual impairment table of H54: one item per row, "label: max / min, max / min, ...", so
// the notes that refer to "the table below" still find it.
static int32_t AddTable(TabularState *conv, uint32_t index, const pugi::xml_node &table,
                        std::string *field)
{
    for (pugi::xml_node row = table.first_child(); row; row = row.next_sibling()) {
        std::string label = TabularTextOf(row.child("heading"));
        if (row.child("value")) {
            label = "Category " + TabularTextOf(row.child("value"));
        }
        std::string ranges;
        for (pugi::xml_node range = row.child("visRange"); range;
             range = range.next_sibling("visRange")) {
            std::string text = TabularTextOf(range.child("heading"));
            text += " " + TabularTextOf(range.child("visMax"));
            if (range.child("visMin")) {
                text += " / " + TabularTextOf(range.child("visMin"));
            }
            ranges += ranges.empty() ? "" : ", ";
            ranges += text;
        }
        int32_t status = TabularTextAppendNote(conv, index, label + ": " + ranges, field);
        if (status < 0) {
            return status;
        }
    }
    return 0;
}

int32_t TabularNotesAdd(TabularState *conv, uint32_t index, const pugi::xml_node &element)
{
    std::string groups[GROUP_COUNT];
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const char *name = child.name();
        int32_t status = 0;
        bool known = true;
        std::string *field = nullptr;
        for (const NoteField &nf : kNoteFields) {
            if (strcmp(name, nf.element) == 0) {
                field = &conv->records[index].fields[nf.field];
            }
        }
        if (field != nullptr) {
            status = TabularTextAppendNotes(conv, index, child, field);
        } else if (TabularTextNameIs(child, "inclusionTerm")) {
            status = TabularTextAppendNotes(conv, index, child, &groups[GROUP_INCLUSION]);
        } else if (TabularTextNameIs(child, "notes")) {
            status = TabularTextAppendNotes(conv, index, child, &groups[GROUP_NOTES]);
            for (pugi::xml_node note = child.child("note"); note && status == 0;
                 note = note.next_sibling("note")) {
                status = TabularSeventhExclusion(conv, index, note);
            }
        } else if (TabularTextNameIs(child, "sevenChrNote")) {
            status = TabularTextAppendNotes(conv, index, child, &groups[GROUP_SEVENTH_NOTE]);
        } else if (TabularTextNameIs(child, "sevenChrDef")) {
            status = TabularSeventhDefinition(conv, index, child, &groups[GROUP_SEVENTH_DEF]);
        } else if (TabularTextNameIs(child, "visualImpairment")) {
            status = AddTable(conv, index, child, &groups[GROUP_TABLE]);
        } else {
            known = TabularTextNameIs(child, "name") || TabularTextNameIs(child, "desc") ||
                    TabularTextNameIs(child, "section") || TabularTextNameIs(child, "diag") ||
                    TabularTextNameInList(name, kIgnoredChildren, std::size(kIgnoredChildren));
        }
        if (status < 0) {
            return status;
        }
        if (!known) {
            return TabularStateUnknownElement(conv, index, child);
        }
    }
    std::string &notes = conv->records[index].fields[8];
    for (const std::string &group : groups) {
        notes += group;
    }
    return 0;
}
