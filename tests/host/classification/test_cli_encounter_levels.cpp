// The encounter check a coder can trust, end to end: correct visits raise no "!" line, wrong
// visits raise the error a coder expects (one row per guideline rule), and notes are weighed,
// read and given once as coders read them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/support/cli_runner.h"

namespace {

struct Visit {
    const char *codes;
    const char *why;  // a correct visit's reason, or the line a wrong one must print
};

// The visits of input one a line, each one's lines (its codes' lines left out).
std::vector<std::string> Findings(const std::vector<Visit> &visits, int *status) {
    std::string input;
    for (const Visit &v : visits) input += std::string(v.codes) + "\n";
    CliOutput r = CliRun("encounter", input);
    *status = r.status;
    std::vector<std::string> out(1);
    size_t at = 0;
    while (at < r.out.size()) {
        size_t end = r.out.find('\n', at);
        if (end == std::string::npos) end = r.out.size();
        std::string line = r.out.substr(at, end - at);
        at = end + 1;
        if (line.empty()) {
            out.emplace_back();
        } else if (line[0] == '!' || line[0] == '?') {
            out.back() += line + "\n";
        }
    }
    return out;
}

// Each visit's findings hold its line; the status of them all.
int ExpectEachFinds(const std::vector<Visit> &visits, std::vector<std::string> *found) {
    int status = -1;
    *found = Findings(visits, &status);
    EXPECT_EQ(found->size(), visits.size());
    for (size_t i = 0; i < visits.size() && i < found->size(); i++) {
        EXPECT_NE(std::string::npos, ("\n" + (*found)[i]).find(std::string("\n") + visits[i].why))
            << visits[i].codes << "\n" << (*found)[i];
    }
    return status;
}

}  // namespace

class CliEncounterLevels : public CliTest {};

TEST_F(CliEncounterLevels, CorrectVisitsRaiseNoErrorOrWarning) {
    const std::vector<Visit> visits = {
        {"E11.22 N18.32 Z79.4", "diabetic CKD with its stage, on insulin"},
        {"J44.1 J96.01 Z87.891", "COPD exacerbation, hypoxic failure, former smoker"},
        {"A41.9 R65.20 N17.9", "sepsis first, then severe sepsis and its organ dysfunction"},
        {"E11.9 Z79.84", "uncomplicated type 2 diabetes on oral drugs"},
        {"I10 E78.5", "hypertension and hyperlipidemia"},
        {"I13.0 I50.22 N18.4", "hypertensive heart and CKD with the failure and the stage"},
        {"I11.0 I50.32", "hypertensive heart disease with the type of failure"},
        {"I12.9 N18.31", "hypertensive CKD with its stage"},
        {"O24.414 Z3A.30", "insulin-controlled gestational diabetes, 30 weeks"},
        {"O80 Z37.0 Z3A.39", "uncomplicated delivery, single live birth, 39 weeks"},
        {"Z38.00 P07.14 P07.32", "newborn: birth weight before gestational age"},
        {"Z34.01 Z3A.10", "routine first-trimester visit at 10 weeks"},
        {"O09.513 Z3A.30", "elderly primigravida, third trimester at 30 weeks"},
        {"S72.001A W19.XXXA Y92.009", "hip fracture from a fall at home, external causes last"},
        {"L27.0 T36.0X5A", "drug eruption first, then the drug's adverse effect"},
        {"E66.01 Z68.41", "morbid obesity with its BMI"},
        {"Z08 Z85.038 Z90.49", "follow-up after colon cancer: history and absence of organ"},
        {"N39.0 B96.20", "UTI with its organism"},
        {"N40.1 R35.0", "BPH with its urinary symptom"},
        {"I48.91 Z79.01", "atrial fibrillation on anticoagulants"},
        {"N18.4 D63.1", "anemia in CKD after the CKD"},
        {"G30.1 F02.80", "dementia after its Alzheimer's disease"},
        {"E11.9 G63", "polyneuropathy with a diabetes that is not E11.42"},
        {"Z08 Z85.038 Z95.1", "follow-up, history, bypass status"},
        {"C34.90 Z87.891", "lung cancer, former smoker"},
        {"J18.9", "pneumonia"},
        {"F32.9", "depression"},
        {"M17.11", "osteoarthritis of the right knee"},
        {"K21.9", "GERD"},
        {"G47.33", "obstructive sleep apnea"},
        {"E03.9", "hypothyroidism"},
        {"J45.909", "asthma"},
        {"I63.9", "stroke"},
        {"Z00.00", "adult check-up"},
        {"Z23", "immunization"},
        {"R07.9", "chest pain"},
        {"E87.1 E86.0", "hyponatremia and dehydration"},
        {"E11.42 Z79.4", "diabetic polyneuropathy on insulin"},
    };
    int status = -1;
    std::vector<std::string> found = Findings(visits, &status);
    ASSERT_EQ(found.size(), visits.size());
    for (size_t i = 0; i < visits.size(); i++) {
        EXPECT_EQ(std::string::npos, ("\n" + found[i]).find("\n!"))
            << visits[i].codes << " (" << visits[i].why << ")\n" << found[i];
    }
    EXPECT_EQ(0, status);
}

TEST_F(CliEncounterLevels, EachGuidelineRuleCatchesItsWrongVisit) {
    const std::vector<Visit> visits = {
        {"W19.XXXA S72.001A", "!guideline\tW19.XXXA\t-\tI.C.20.a.6\t"},
        {"W19.XXXA Y92.009", "!guideline\tW19.XXXA\t-\tI.C.20.a.6\t"},
        {"R65.20 A41.9", "!guideline\tR65.20\t-\tI.C.1.d.3\t"},
        {"T36.0X5A L27.0", "!guideline\tT36.0X5A\t-\tI.C.19.e.5(a)\t"},
        {"Z68.41", "!guideline\tZ68.41\t-\tI.B.14\t"},
        {"E11.9 E11.65", "!guideline\tE11.9\tE11.65\tI.C.4.a\t"},
        {"I10 I12.9 N18.30", "!guideline\tI10\tI12.9\tI.C.9.a\t"},
        {"F45.41 G89.29", "!guideline\tG89.29\tF45.41\tI.C.5.a\t"},
        {"O24.414 Z79.4 Z3A.30", "!guideline\tZ79.4\tO24.414\tI.C.15.i\t"},
        {"O24.410 O24.011", "!guideline\tO24.011\tO24.410\tI.C.15.i\t"},
        {"Z38.00 O80", "!guideline\tO80\tZ38.00\tI.C.15.a.2\t"},
        {"Z38.00 P07.14 O99.214", "!guideline\tP07.14\tO99.214\tI.C.16.a.1\t"},
        {"Z33.1 O99.011", "!guideline\tZ33.1\tO99.011\tI.C.15.a.1\t"},
        {"Z37.0", "!guideline\tZ37.0\t-\tI.C.15.b.5\t"},
        {"Z3A.20", "!guideline\tZ3A.20\t-\tI.C.21.c.11\t"},
        {"O03.9 Z3A.10", "!guideline\tZ3A.10\tO03.9\tI.C.21.c.11\t"},
        {"O09.513 Z3A.12", "!guideline\tO09.513\tZ3A.12\tI.C.15.a.3\t"},
        {"P07.32 P07.14", "!guideline\tP07.32\tP07.14\tI.C.16.d\t"},
        {"O80 O99.214 Z37.0", "!guideline\tO80\tO99.214\tI.C.15.n.1\t"},
        {"Z37.0 O80", "!guideline\tO80\t-\tI.C.15.n.1\t"},
        {"O80 Z37.1", "!guideline\tZ37.1\tO80\tI.C.15.n.3\t"},
        {"P07.14 Z38.00", "!guideline\tZ38.00\t-\tI.C.16.a.2\t"},
        {"O09.511 Z34.01", "!guideline\tZ34.01\t-\tI.C.21.c.11\t"},
        {"Z34.01 O09.511", "!guideline\tZ34.01\tO09.511\tI.C.21.c.11\t"},
        {"E11.42 G63", "!excludes1\tG63\tE11.42\tG63\tdiabetes mellitus (E08-E13 with .42)\n"},
        {"D63.1 N18.4", "!manifestation-first\tD63.1\t-\tD63.1\tMedicare Code Editor v43.1: "},
        {"E11.22", "!use-additional\tE11.22\tN18.1-N18.6\tE11.22\tcode to identify stage of"},
        // A manifestation with only a manifestation before it: no underlying disease.
        {"F02.80 G63", "!code-first\tG63\t"},
    };
    std::vector<std::string> found;
    int status = ExpectEachFinds(visits, &found);
    ASSERT_EQ(found.size(), visits.size());
    EXPECT_EQ(1, status);
}

TEST_F(CliEncounterLevels, NotesAreWeighedAndGivenOnceAsCodersReadThem) {
    const std::vector<Visit> visits = {
        // Conditional, and at category level: a reminder.
        {"N18.32", "?use-additional\tN18.32\tZ94.0\tN18\t"},
        // J44's tobacco note is contained in the chapter's: one reminder for the visit.
        {"J44.1 J96.01", "?use-additional\tJ44.1\tZ77.22 Z87.891 Z57.31 F17.- Z72.0\tJ44\t"},
        // Two requests apart: the one Z85.038 meets is not asked again.
        {"Z08 Z85.038", "?use-additional\tZ08\tZ90.-\tZ08\tcode to identify any acquired "
                        "absence of organs (Z90.-)\n"},
        // A list of examples is met by any underlying disease before it.
        {"A41.9 R65.20", ""},
        {"C25.0", "?code-also\tC25.0\tK86.81\tC25\t"},
    };
    std::vector<std::string> found;
    int status = ExpectEachFinds(visits, &found);
    ASSERT_EQ(found.size(), visits.size());
    EXPECT_EQ(found[1].find("?use-additional"), found[1].rfind("?use-additional")) << found[1];
    EXPECT_EQ(std::string::npos, found[2].find("Z85.-")) << found[2];
    EXPECT_EQ(std::string::npos, found[3].find("code-first\tR65.20")) << found[3];
    EXPECT_EQ(0, status);
}
