// morbivue-pak: packs files into a pak archive (--create) and lists and verifies one (--list).
// The build packs the record file and the help text with it; entries are named by base name.
#include <cstdio>
#include <cstring>

#include "archive/pak_file.h"
#include "archive/pak_writer.h"
#include "foundation/log.h"
#include "foundation/mem.h"
#include "foundation/status.h"

static const char *BaseName(const char *path)
{
    const char *base = path;
    for (const char *p = path; *p != '\0'; p++) {
        if (*p == '/' || *p == '\\') {
            base = p + 1;
        }
    }
    return base;
}

// Whole file into a MemAlloc'd buffer. Files beyond INT32_MAX bytes cannot go into an archive.
static int32_t ReadWholeFile(const char *path, uint8_t **data, int32_t *size)
{
    FILE *file = fopen(path, "rb");
    if (file == nullptr) {
        fprintf(stderr, "morbivue-pak: cannot open %s\n", path);
        return ERR_OPEN;
    }
    int32_t status = 0;
    long length = -1;
    if (fseek(file, 0, SEEK_END) == 0) {
        length = ftell(file);
    }
    if (length < 0 || length > INT32_MAX - 1 || fseek(file, 0, SEEK_SET) != 0) {
        fprintf(stderr, "morbivue-pak: cannot size %s (or it is over 2 GB)\n", path);
        status = ERR_SEEK;
    } else {
        // One spare byte: MemAlloc wants a positive size even for an empty file.
        *data = static_cast<uint8_t *>(MemAlloc(static_cast<int32_t>(length) + 1));
        if (*data == nullptr) {
            fprintf(stderr, "morbivue-pak: out of memory for %s\n", path);
            status = ERR_ALLOC;
        } else if (fread(*data, 1, static_cast<size_t>(length), file) !=
                   static_cast<size_t>(length)) {
            fprintf(stderr, "morbivue-pak: cannot read %s\n", path);
            MemFree(*data);
            *data = nullptr;
            status = ERR_READ;
        } else {
            *size = static_cast<int32_t>(length);
        }
    }
    fclose(file);
    return status;
}

// Written under a temporary name first, so the build never sees half an archive.
static int32_t WriteWholeFile(const char *path, const uint8_t *data, int32_t size)
{
    size_t pathLength = strlen(path);
    char *temp = static_cast<char *>(MemAlloc(static_cast<int32_t>(pathLength) + 5));
    if (temp == nullptr) {
        return ERR_ALLOC;
    }
    memcpy(temp, path, pathLength);
    memcpy(temp + pathLength, ".tmp", 5);
    int32_t status = 0;
    FILE *file = fopen(temp, "wb");
    if (file == nullptr) {
        status = ERR_CREATE;
    } else {
        bool written =
            fwrite(data, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
        if (fclose(file) != 0 || !written) {
            status = ERR_WRITE;
        } else if (rename(temp, path) != 0) {
            status = ERR_WRITE;
        }
        if (status < 0) {
            remove(temp);
        }
    }
    if (status < 0) {
        fprintf(stderr, "morbivue-pak: cannot write %s: %s\n", path, StatusName(status));
    }
    MemFree(temp);
    return status;
}

static void ReportRefusal(int32_t status, const char *const *paths, const PakSource *sources,
                          int32_t count, int32_t badIndex)
{
    if (badIndex < 0) {
        fprintf(stderr, "morbivue-pak: cannot pack %d files: %s\n", count, StatusName(status));
        return;
    }
    const char *path = paths[badIndex];
    const char *name = sources[badIndex].name;
    switch (status) {
        case ERR_EMPTY:
            fprintf(stderr, "morbivue-pak: %s is empty; an entry of size 0 would count as absent\n",
                    path);
            break;
        case ERR_TOOLONG:
            fprintf(stderr, "morbivue-pak: entry name \"%s\" is longer than 31 characters\n", name);
            break;
        case ERR_INVDATA:
            fprintf(stderr, "morbivue-pak: entry name \"%s\" (%s) occurs twice, ignoring case\n",
                    name, path);
            break;
        default:
            fprintf(stderr, "morbivue-pak: cannot pack %s: %s\n", path, StatusName(status));
            break;
    }
}

static int Create(const char *out, const char *const *paths, int32_t count)
{
    if (count > PAK_MAX_USED) {
        fprintf(stderr, "morbivue-pak: at most %d files fit in an archive\n", PAK_MAX_USED);
        return 1;
    }
    auto *sources =
        static_cast<PakSource *>(MemAlloc(count * static_cast<int32_t>(sizeof(PakSource))));
    if (sources == nullptr) {
        fprintf(stderr, "morbivue-pak: out of memory\n");
        return 1;
    }
    int32_t status = 0;
    for (int32_t i = 0; i < count && status == 0; i++) {
        uint8_t *data = nullptr;
        int32_t size = 0;
        status = ReadWholeFile(paths[i], &data, &size);
        sources[i].name = BaseName(paths[i]);
        sources[i].data = data;
        sources[i].size = static_cast<uint32_t>(size);
    }
    uint8_t *image = nullptr;
    int32_t imageSize = 0;
    if (status == 0) {
        int32_t badIndex = -1;
        status = PakBuildImage(sources, count, PAK_DEFAULT_SPARE, &image, &imageSize, &badIndex);
        if (status < 0) {
            ReportRefusal(status, paths, sources, count, badIndex);
        }
    }
    if (status == 0) {
        status = WriteWholeFile(out, image, imageSize);
    }
    if (status == 0) {
        printf("morbivue-pak: %s: %d entries, %d bytes\n", out, count, imageSize);
    }
    MemFree(image);
    for (int32_t i = 0; i < count; i++) {
        MemFree(const_cast<void *>(sources[i].data));
    }
    MemFree(sources);
    return status == 0 ? 0 : 1;
}

// Lists every used entry and reads it back, which verifies the data checksums; opening already
// verified the header checksum. Also flags what the writer would have refused.
static int List(const char *path)
{
    uint8_t *data = nullptr;
    int32_t size = 0;
    if (ReadWholeFile(path, &data, &size) < 0) {
        return 1;
    }
    PakFile pak;
    int32_t status = PakFileOpen(data, size, &pak);
    if (status < 0) {
        fprintf(stderr, "morbivue-pak: %s is not a valid archive: %s\n", path, StatusName(status));
        MemFree(data);
        return 1;
    }
    const PakHeader &h = pak.header;
    printf("%s: %u of %u entries used, %d bytes, header checksum 0x%04X ok\n", path, h.used,
           h.capacity, size, h.checksum);
    int problems = 0;
    for (int32_t i = 0; i < h.used; i++) {
        PakEntry entry = pak.entries[i];
        char name[PAK_NAME_SIZE + 1] = {};
        memcpy(name, entry.name, PAK_NAME_SIZE);
        const char *verdict = nullptr;
        PakEntry first;
        if (entry.size == 0) {
            verdict = "EMPTY (absent)";
        } else if (entry.name[PAK_NAME_SIZE - 1] != '\0') {
            verdict = "NAME NOT TERMINATED";
        } else if (PakFindEntry(&pak, name, &first) != i) {
            verdict = "DUPLICATE NAME (hidden by an earlier entry)";
        } else if (entry.size > static_cast<uint32_t>(size)) {
            verdict = "LARGER THAN THE ARCHIVE";
        } else {
            auto *buffer = static_cast<uint8_t *>(MemAlloc(static_cast<int32_t>(entry.size)));
            status = buffer == nullptr ? ERR_ALLOC : PakReadEntry(&pak, name, buffer, entry.size);
            MemFree(buffer);
            if (status < 0) {
                verdict = StatusName(status);
            }
        }
        if (verdict != nullptr) {
            problems++;
        }
        printf("  %-31s %10u bytes at %10u  checksum 0x%04X  %s\n", name, entry.size, entry.offset,
               entry.checksum, verdict != nullptr ? verdict : "ok");
    }
    PakClose(&pak);
    MemFree(data);
    if (problems > 0) {
        fprintf(stderr, "morbivue-pak: %s: %d bad entries\n", path, problems);
        return 1;
    }
    return 0;
}

static void Usage()
{
    fprintf(stderr,
            "usage: morbivue-pak --create OUT FILE...   pack files, each named by its base name\n"
            "       morbivue-pak --list ARCHIVE         list entries and verify checksums\n");
}

int main(int argc, char **argv)
{
    if (argc >= 4 && strcmp(argv[1], "--create") == 0) {
        return Create(argv[2], argv + 3, argc - 3);
    }
    if (argc == 3 && strcmp(argv[1], "--list") == 0) {
        return List(argv[2]);
    }
    Usage();
    return 2;
}
