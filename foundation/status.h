// Status codes shared by every module: 0 or positive is success, negative is a named failure.
// StatusName looks a code up in the same table the codes are defined from, so they cannot drift.
#pragma once
#include <cstdint>

typedef int32_t Status;

enum : int32_t {
    ERR_ERROR = -1,            // generic failure
    ERR_NULLPTR = -2,          // a pointer argument was null
    ERR_NULLPTRIN = -3,        // a pointer inside a record was null
    ERR_INVPARAM = -4,         // an argument is out of its contract
    ERR_INVINDEX = -5,         // an index is wrong, or a record lacks its key
    ERR_INVDATA = -6,          // malformed data
    ERR_INVVALUE = -7,         // a value is not plausible
    ERR_INVHANDLE = -8,        // an OS handle is not valid
    ERR_INVPTR = -9,           // a pointer is not valid
    ERR_INVREF = -10,          // a reference is not valid
    ERR_TIMEOUT = -11,         // a wait timed out
    ERR_ABANDONED = -12,       // a mutex holder died, or a wait failed
    ERR_NOTINIT = -13,         // not initialised
    ERR_ALREADYINIT = -14,     // initialised twice
    ERR_FAILED = -15,          // an operation failed
    ERR_NOTIMPLEMENTED = -16,  // not implemented
    ERR_EMPTY = -17,           // empty input or nothing to act on
    ERR_GENERIC = -19,         // generic failure
    ERR_ALLOC = -20,           // out of memory
    ERR_INVCLASS = -30,        // wrong class
    ERR_INVTYPE = -31,         // wrong kind of record
    ERR_INVMODE = -32,         // wrong mode
    ERR_CHECKSUM = -33,        // checksum mismatch
    ERR_INVFORMAT = -34,       // bad format
    ERR_WRONGFORMAT = -35,     // unexpected format
    ERR_CREATE = -40,          // creation failed
    ERR_OPEN = -41,            // open failed
    ERR_CLOSE = -42,           // close failed
    ERR_READ = -43,            // short or failed read
    ERR_WRITE = -44,           // write failed
    ERR_SEEK = -45,            // seek failed
    ERR_ACCESS = -46,          // access denied
    ERR_NOTAVAIL = -47,        // not available
    ERR_NOTFOUND = -60,        // no such item
    ERR_TOOMANY = -61,         // a table is full
    ERR_OUTOFRANGE = -62,      // value outside its range
    ERR_OVERFLOW = -63,        // overflow
    ERR_UNDERFLOW = -64,       // underflow
    ERR_TOOLONG = -65,         // text too long
    ERR_WINDOWS = -90,         // a window could not be made
    ERR_OLE = -91,             // an OLE call failed
    ERR_OPENGL = -92,          // an OpenGL call failed
};

// Name of a status code; "ERR_UNLISTED" for 0, positives and unnamed values. Never null.
const char *StatusName(int32_t code);
