// Where an index entry's references lead: a code to the record of the classification that holds
// it, a "see" or "see also" text to the entry it names. Either may lead nowhere.
#pragma once
#include <cstdint>

#include "classification/record_table.h"
#include "index/index_set.h"

// 1 when text has the shape of a code: a letter, a digit, then a letter or digit.
int32_t IndexTextIsCode(const char *text);

// Position of the record that holds code: the record with that code, else the one found after
// dropping characters from its end (a "-" asking for more characters, a 7th character, a
// placeholder) down to its category. ERR_NOTFOUND (also for text that is not a code);
// ERR_NULLPTR.
int32_t IndexCodeRecord(const RecordTable *table, const char *code);

// Set-wide number of the entry a reference names ("Accident, transport, aircraft": titles from
// the main term down, separated by commas, modifiers left out), looked up first in the index of
// kind, then in the others in book order. A title may also be named by its text up to its first
// comma ("Neoplasm" for "Neoplasm, neoplastic") or without a closing " NEC". When the main term
// is found but not every subterm, the deepest entry found. A reference that starts with a book's
// title ("Table of Drugs and Chemicals, lead") is looked up in that index only. -1 when no main term matches;
// ERR_NULLPTR.
int32_t IndexSeeTarget(const IndexSet *set, uint16_t kind, const char *reference);
