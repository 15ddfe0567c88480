// Note requests: items split at their "./" ends, grouped under ':' headings, and marked by the
// words that make a request a condition or a list of examples.
#include "note_requests.h"

#include <cstring>

static bool IsAlpha(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

static const char *const kConditions[] = {"if applicable", "where applicable", "if known",
                                          "if present", "any"};

// Whether phrase (lower case) stands at text[i..n) as whole words, any case.
static bool WordsAt(const char *text, int32_t i, int32_t n, const char *phrase) {
    int32_t k = 0;
    while (phrase[k] != '\0' && i + k < n && (text[i + k] | 0x20) == phrase[k]) k++;
    return phrase[k] == '\0' && (i + k == n || !IsAlpha((unsigned char)text[i + k]));
}

// One pass over the words of text[0..n).
static void Words(const char *text, int32_t n, NoteRequest *r) {
    for (int32_t i = 0; i < n; i++) {
        if (i > 0 && IsAlpha((unsigned char)text[i - 1])) continue;
        char c = (char)(text[i] | 0x20);
        if (c != 'i' && c != 'w' && c != 'a' && c != 's') continue;
        for (const char *phrase : kConditions) {
            if (phrase[0] == c && WordsAt(text, i, n, phrase)) r->conditional = 1;
        }
        if (c == 's' && WordsAt(text, i, n, "such as")) r->examples = 1;
    }
}

int32_t NoteRequestsRead(const char *note, const NoteRef *refs, int32_t count, bool whole,
                         bool words, NoteRequest *out, int32_t capacity) {
    if (note == nullptr || out == nullptr || capacity < 1 || (refs == nullptr && count > 0)) {
        return 0;
    }
    int32_t n = 0, r = 0;
    bool underHeading = false;
    for (int32_t at = 0; note[at] != '\0';) {
        const char *end = strstr(note + at, "./");
        int32_t stop = end != nullptr ? (int32_t)(end - note) : (int32_t)strlen(note);
        int32_t first = at, last = stop;
        while (first < last && note[first] == ' ') first++;
        while (last > first && note[last - 1] == ' ') last--;
        if (last > first) {
            bool isHeading = note[last - 1] == ':';
            bool fresh = n == 0 || (!whole && n < capacity && (isHeading || !underHeading));
            NoteRequest *q = &out[fresh ? n++ : n - 1];
            if (fresh) *q = NoteRequest{first, last, r, 0, 0, 0};
            q->end = last;
            for (; r < count && refs[r].offset < stop; r++) {
                if (refs[r].offset >= at) q->refCount++;
            }
            if (words) Words(note + first, last - first, q);
            underHeading = underHeading || isHeading;
        }
        if (end == nullptr) break;
        at = stop + 2;
        while (note[at] == '/') at++;
    }
    return n;
}
