/* theQuickTimeDispatcher: the one entry through which the program's call stubs reach the movie
 * services. It is entered by a jump with the routine's selector in EAX and the caller's stack
 * untouched (return address on top, the arguments beneath), finds the routine in the table and
 * jumps to it, so that the routine returns straight to the caller. A selector not in the table
 * is answered with badComponentSelector (0x80008002), the Component Manager's answer to a
 * selector it does not support; its low 16 bits read as a non-zero OSErr. Only EAX, ECX and
 * the flags, which the caller does not expect kept, are used. */

    .section .rdata,"dr"
    .p2align 2
routine_table:
#define QUICKTIME_ROUTINE(name, selector, words) .long selector, _##name
#define QTML_ROUTINE(name, selector, words) .long selector, _##name
#include "movie/movie_service_selectors.h"
#undef QUICKTIME_ROUTINE
#undef QTML_ROUTINE
routine_table_end:

    .text
    .globl _theQuickTimeDispatcher
    .def _theQuickTimeDispatcher; .scl 2; .type 32; .endef
    .p2align 4
_theQuickTimeDispatcher:
    movl $routine_table, %ecx
1:
    cmpl $routine_table_end, %ecx
    je 2f
    cmpl (%ecx), %eax
    je 3f
    addl $8, %ecx
    jmp 1b
3:
    jmp *4(%ecx)
2:
    movl $0x80008002, %eax
    ret
