// Names of the status codes, for log lines and message boxes. One table, searched linearly: it is
// short and only consulted when something has already gone wrong.
#include "foundation/status.h"

namespace {

struct StatusEntry {
    int32_t code;      // negative failure code
    const char *name;  // its ERR_* spelling
};

#define STATUS_ENTRY(code) \
    { code, #code }

const StatusEntry kStatusNames[] = {
    STATUS_ENTRY(ERR_ERROR),          STATUS_ENTRY(ERR_NULLPTR),     STATUS_ENTRY(ERR_NULLPTRIN),
    STATUS_ENTRY(ERR_INVPARAM),       STATUS_ENTRY(ERR_INVINDEX),    STATUS_ENTRY(ERR_INVDATA),
    STATUS_ENTRY(ERR_INVVALUE),       STATUS_ENTRY(ERR_INVHANDLE),   STATUS_ENTRY(ERR_INVPTR),
    STATUS_ENTRY(ERR_INVREF),         STATUS_ENTRY(ERR_TIMEOUT),     STATUS_ENTRY(ERR_ABANDONED),
    STATUS_ENTRY(ERR_NOTINIT),        STATUS_ENTRY(ERR_ALREADYINIT), STATUS_ENTRY(ERR_FAILED),
    STATUS_ENTRY(ERR_NOTIMPLEMENTED), STATUS_ENTRY(ERR_EMPTY),       STATUS_ENTRY(ERR_GENERIC),
    STATUS_ENTRY(ERR_ALLOC),          STATUS_ENTRY(ERR_INVCLASS),    STATUS_ENTRY(ERR_INVTYPE),
    STATUS_ENTRY(ERR_INVMODE),        STATUS_ENTRY(ERR_CHECKSUM),    STATUS_ENTRY(ERR_INVFORMAT),
    STATUS_ENTRY(ERR_WRONGFORMAT),    STATUS_ENTRY(ERR_CREATE),      STATUS_ENTRY(ERR_OPEN),
    STATUS_ENTRY(ERR_CLOSE),          STATUS_ENTRY(ERR_READ),        STATUS_ENTRY(ERR_WRITE),
    STATUS_ENTRY(ERR_SEEK),           STATUS_ENTRY(ERR_ACCESS),      STATUS_ENTRY(ERR_NOTAVAIL),
    STATUS_ENTRY(ERR_NOTFOUND),       STATUS_ENTRY(ERR_TOOMANY),     STATUS_ENTRY(ERR_OUTOFRANGE),
    STATUS_ENTRY(ERR_OVERFLOW),       STATUS_ENTRY(ERR_UNDERFLOW),   STATUS_ENTRY(ERR_TOOLONG),
    STATUS_ENTRY(ERR_WINDOWS),        STATUS_ENTRY(ERR_OLE),         STATUS_ENTRY(ERR_OPENGL),
};

#undef STATUS_ENTRY

}  // namespace

const char *StatusName(int32_t code) {
    for (const StatusEntry &entry : kStatusNames) {
        if (entry.code == code) return entry.name;
    }
    return "ERR_UNLISTED";
}
