// The linked FY2023 release loaded once for the encounter tests, and an encounter's findings of
// one rule as short lines "CODE|OTHER|WHERE|NOTE".
#pragma once
#include <string>
#include <vector>

#include "classification/encounter.h"

struct RealRelease {
    RecordTable table = {};
    SeventhCharTable chars = {};
    Encounter encounter = {};
};

// Loaded on first use, kept for the whole test program.
RealRelease *RealReleaseGet();

// Reads text as one encounter, applies rule alone (every rule when null) and gives its findings.
std::vector<std::string> EncounterLines(const std::string &text,
                                        int32_t (*rule)(Encounter *) = nullptr);
