// Shared set-up of the encounter tests: the release loaded once, findings as short lines.
#include "encounter_fixture.h"

#include "classification/encounter_text.h"
#include "classification/page_compose.h"

RealRelease *RealReleaseGet() {
    static RealRelease *release = nullptr;
    if (release == nullptr) {
        release = new RealRelease();
        if (RecordTableLoad(&release->table, "engtextrecords.dat") < 0 ||
            SeventhCharLoad(&release->chars, &release->table) < 0 ||
            EncounterInit(&release->encounter, &release->table, &release->chars) < 0) {
            return nullptr;
        }
    }
    return release;
}

std::vector<std::string> EncounterLines(const std::string &text, int32_t (*rule)(Encounter *)) {
    std::vector<std::string> lines;
    RealRelease *release = RealReleaseGet();
    if (release == nullptr) return {"release not loaded"};
    Encounter *e = &release->encounter;
    if (EncounterRead(e, text.data(), text.size()) < 0) return {"read failed"};
    if ((rule != nullptr ? rule(e) : EncounterCheck(e)) < 0) return {"rule failed"};
    static char other[TEXT_BUFFER_CHARS + 1], note[TEXT_BUFFER_CHARS + 1];
    for (int32_t k = 0; k < e->findingCount; k++) {
        const EncounterFinding *f = &e->findings[k];
        int32_t n = 0;
        const char *code = EncounterCodeText(e, f->code, &n);
        EncounterFindingOther(e, f, other, TEXT_BUFFER_CHARS);
        EncounterFindingNote(e, f, "; ", false, note, TEXT_BUFFER_CHARS);
        lines.push_back(std::string(code, (size_t)n) + "|" + other + "|" +
                        EncounterFindingWhere(e, f) + "|" + note);
    }
    return lines;
}
