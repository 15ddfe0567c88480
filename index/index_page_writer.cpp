// Output of the index's page composers: pieces of at most VIEW_PIECE_CHARS, each zero-ended as
// the sink expects, and links recorded in the map before their text is written.
#include "index/index_page_writer.h"

#include <cstring>

#include "classification/page_ref.h"
#include "foundation/mem.h"
#include "foundation/status.h"

void IndexPageWrite(IndexPageWriter *p, const char *text, size_t length) {
    while (length > 0) {
        const int32_t piece = length < (size_t)VIEW_PIECE_CHARS ? (int32_t)length : VIEW_PIECE_CHARS;
        if (p->sink->writeText) {
            // The sink reads text[length] as a zero byte; a piece of a longer text has none.
            char buffer[VIEW_PIECE_CHARS + 1];
            memcpy(buffer, text, (size_t)piece);
            buffer[piece] = '\0';
            p->sink->writeText(p->sink->context, buffer, piece);
        }
        p->position += piece;
        text += piece;
        length -= (size_t)piece;
    }
}

void IndexPageWriteString(IndexPageWriter *p, const char *text) {
    IndexPageWrite(p, text, strlen(text));
}

static void SetLink(IndexPageWriter *p, int32_t on) {
    if (p->sink->setLink) p->sink->setLink(p->sink->context, on);
}

// Room for one more link; false (the status set) when the map cannot grow.
static bool Reserve(IndexPageWriter *p) {
    IndexLinkMap *map = p->links;
    if (map->linkCount < map->capacity) return true;
    const int32_t capacity = map->capacity ? map->capacity * 2 : 64;
    IndexLink *grown = (IndexLink *)MemRealloc(map->links, capacity * (int32_t)sizeof(IndexLink));
    if (!grown) {
        if (p->status == 0) p->status = ERR_ALLOC;
        return false;
    }
    map->links = grown;
    map->capacity = capacity;
    return true;
}

static bool BeginLink(IndexPageWriter *p, int32_t length, uint16_t kind, int32_t target) {
    if (length <= 0 || !Reserve(p)) return false;
    p->links->links[p->links->linkCount++] = IndexLink{p->position, length, kind, target};
    SetLink(p, 1);
    return true;
}

void IndexPageWriteLink(IndexPageWriter *p, const char *text, uint16_t kind, int32_t target) {
    const int32_t length = (int32_t)strlen(text);
    const bool link = BeginLink(p, length, kind, target);
    IndexPageWrite(p, text, (size_t)length);
    if (link) SetLink(p, 0);
}

void IndexPageWritePath(IndexPageWriter *p, const IndexSet *set, int32_t n, int32_t asLink) {
    uint16_t kind = 0;
    const IndexEntry *entry = IndexSetEntry(set, n, &kind);
    if (!entry) return;
    const IndexFile *f = &set->files[kind];
    const IndexEntry *chain[INDEX_MAX_LEVEL + 1];
    int32_t depth = 0;
    int32_t length = 0;
    for (const IndexEntry *e = entry; e && depth <= INDEX_MAX_LEVEL; depth++) {
        chain[depth] = e;
        length += e->titleLength + (depth > 0 ? 3 : 0);
        e = e->parent >= 0 ? &f->entries[e->parent] : nullptr;
    }
    const bool link = asLink && BeginLink(p, length, PAGE_KIND_INDEX, n);
    for (int32_t i = depth - 1; i >= 0; i--) {
        IndexPageWrite(p, chain[i]->title, (size_t)chain[i]->titleLength);
        if (i > 0) IndexPageWriteString(p, " > ");
    }
    if (link) SetLink(p, 0);
}
