// A writable stand-in for the linked archive: the tests build an archive image at run time and
// copy it here, so the window loads whatever archive (valid or damaged) a test needs.
#define JOIN2(a, b) a##b
#define JOIN(a, b) JOIN2(a, b)
#define SYMBOL(name) JOIN(__USER_LABEL_PREFIX__, name)

    .data
    .globl SYMBOL(morbivue_archive_start)
    .globl SYMBOL(morbivue_archive_end)
    .balign 16
SYMBOL(morbivue_archive_start):
    .space 65536
SYMBOL(morbivue_archive_end):
    .byte 0
