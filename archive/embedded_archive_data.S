// The archive image, linked as read-only data between morbivue_archive_start and
// morbivue_archive_end. The build puts the directory holding morbivue.pak on the include path.
#define JOIN2(a, b) a##b
#define JOIN(a, b) JOIN2(a, b)
// i686 Windows gives C symbols a leading underscore; elsewhere the prefix is empty.
#define SYMBOL(name) JOIN(__USER_LABEL_PREFIX__, name)

#if defined(_WIN32)
    .section .rdata,"dr"
#else
    .section .rodata
#endif
    .globl SYMBOL(morbivue_archive_start)
    .globl SYMBOL(morbivue_archive_end)
    .balign 16
SYMBOL(morbivue_archive_start):
    .incbin "morbivue.pak"
SYMBOL(morbivue_archive_end):
    .byte 0

#if defined(__ELF__)
    .section .note.GNU-stack,"",@progbits
#endif
