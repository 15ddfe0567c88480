// The abbreviations table, in alphabetical order of the abbreviation.
#include "index/index_abbrev.h"

#include <cstring>

static const IndexAbbreviation kTable[] = {
    {"AAA", "aneurysm, aorta, abdominal"},
    {"ACS", "syndrome, coronary, acute"},
    {"ADHD", "disorder, attention-deficit hyperactivity"},
    {"AF", "fibrillation, atrial"},
    {"AFIB", "fibrillation, atrial"},
    {"AKI", "injury, kidney, acute"},
    {"ALS", "sclerosis, lateral, amyotrophic"},
    {"AMI", "infarct, myocardium"},
    {"AR", "insufficiency, aortic"},
    {"ARDS", "syndrome, respiratory, distress"},
    {"ARF", "failure, respiratory, acute"},
    {"AS", "stenosis, aortic"},
    {"ASD", "defect, septal, atrial"},
    {"BMI", "body, mass, index"},
    {"BPH", "hyperplasia, prostate"},
    {"CA", "carcinoma"},
    {"CABG", "status, aortocoronary bypass"},
    {"CAD", "disease, coronary"},
    {"CHB", "block, heart, complete"},
    {"CHF", "failure, heart, congestive"},
    {"CKD", "disease, kidney, chronic"},
    {"COPD", "disease, lung, obstructive"},
    {"COVID", "COVID-19"},
    {"CP", "palsy, cerebral"},
    {"CVA", "accident, cerebrovascular"},
    {"DJD", "disease, joint, degenerative"},
    {"DKA", "ketoacidosis, diabetic"},
    {"DM", "diabetes"},
    {"DM1", "diabetes, type 1"},
    {"DM2", "diabetes, type 2"},
    {"DVT", "thrombosis, vein, deep"},
    {"ED", "dysfunction, erectile"},
    {"ESRD", "disease, renal, end-stage"},
    {"ETOH", "alcohol"},
    {"FTT", "failure, thrive"},
    {"GAD", "disorder, anxiety, generalized"},
    {"GERD", "reflux, gastroesophageal"},
    {"GIB", "hemorrhage, gastrointestinal"},
    {"HA", "headache"},
    {"HBV", "hepatitis, B"},
    {"HCV", "hepatitis, C"},
    {"HF", "failure, heart"},
    {"HIV", "human immunodeficiency virus"},
    {"HLD", "hyperlipidemia"},
    {"HSV", "herpes, simplex"},
    {"HTN", "hypertension"},
    {"IBS", "syndrome, irritable bowel"},
    {"ICH", "hemorrhage, intracranial"},
    {"IDA", "anemia, iron deficiency"},
    {"LBBB", "block, bundle branch, left"},
    {"LBP", "pain, back, low"},
    {"LOC", "loss, consciousness"},
    {"MDD", "disorder, depressive, major"},
    {"MI", "infarct, myocardium"},
    {"MR", "insufficiency, mitral"},
    {"MRSA", "methicillin resistant staphylococcus aureus"},
    {"MS", "sclerosis, multiple"},
    {"MVP", "prolapse, mitral"},
    {"NSTEMI", "infarct, myocardium, non-ST elevation"},
    {"OA", "osteoarthritis"},
    {"OCD", "disorder, obsessive-compulsive"},
    {"OSA", "apnea, sleep, obstructive"},
    {"PAD", "disease, peripheral, vascular"},
    {"PCOS", "syndrome, polycystic ovary"},
    {"PE", "embolism, pulmonary"},
    {"PID", "disease, pelvic, inflammatory"},
    {"PNA", "pneumonia"},
    {"PTSD", "disorder, stress, post-traumatic"},
    {"PVD", "disease, peripheral, vascular"},
    {"RA", "arthritis, rheumatoid"},
    {"RBBB", "block, bundle branch, right"},
    {"RSV", "respiratory syncytial virus"},
    {"SAH", "hemorrhage, subarachnoid"},
    {"SCD", "disease, sickle-cell"},
    {"SDH", "hematoma, subdural"},
    {"SLE", "lupus, erythematosus, systemic"},
    {"SOB", "shortness, breath"},
    {"STD", "disease, sexually transmitted"},
    {"STEMI", "infarct, myocardium, ST elevation"},
    {"STI", "infection, sexually transmitted"},
    {"SVT", "tachycardia, supraventricular"},
    {"T1DM", "diabetes, type 1"},
    {"T2DM", "diabetes, type 2"},
    {"TB", "tuberculosis"},
    {"TBI", "injury, brain, traumatic"},
    {"TIA", "attack, transient ischemic"},
    {"UC", "colitis, ulcerative"},
    {"URI", "infection, respiratory, upper"},
    {"UTI", "infection, urinary, tract"},
    {"VT", "tachycardia, ventricular"},
};

const IndexAbbreviation *IndexAbbreviationFind(const char *word, int32_t length) {
    if (!word || length <= 0) return nullptr;
    for (const IndexAbbreviation &a : kTable) {
        if ((int32_t)strlen(a.abbreviation) != length) continue;
        bool same = true;
        for (int32_t i = 0; i < length && same; i++) {
            char c = word[i];
            if (c >= 'a' && c <= 'z') c = (char)(c - 'a' + 'A');
            same = c == a.abbreviation[i];
        }
        if (same) return &a;
    }
    return nullptr;
}

const IndexAbbreviation *IndexAbbreviationTable(int32_t *count) {
    if (count) *count = (int32_t)(sizeof kTable / sizeof kTable[0]);
    return kTable;
}
