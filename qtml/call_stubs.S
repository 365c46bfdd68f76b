/* The call stubs: one frameless routine per movie service, named like the routine, that hands
 * the call untouched to the QuickTime runtime's dispatcher with the routine's selector.
 *
 * A stub (x86, cdecl) calls the pre-call hook if one is set, with the caller's return address
 * and arguments left on the stack beneath it; then loads the selector into EAX, after the hook,
 * and jumps through the dispatcher slot, read only now. The dispatcher returns straight to the
 * caller. A stub builds no frame, counts no arguments and never sees the result. */

    .text

.macro QUICKTIME_STUB name, selector
    .globl _\name
    .def _\name; .scl 2; .type 32; .endef
    .p2align 4
_\name:
    movl _QuickTimePreCallHook, %eax
    testl %eax, %eax
    jz 1f
    call *%eax
1:
    movl $\selector, %eax
    jmp *_QuickTimeDispatcherSlot
.endm

/* The loader reaches the runtime's own QTML routines through an entry that only jumps to the
 * routine's stub; the public InitializeQTML is the loader's. */
.macro QTML_FORWARDING_ENTRY name
    .globl _Runtime\name
    .def _Runtime\name; .scl 2; .type 32; .endef
    .p2align 4
_Runtime\name:
    jmp _Runtime\name\()Stub
.endm

#define QUICKTIME_ROUTINE(name, selector, words) QUICKTIME_STUB name, selector
#define QTML_ROUTINE(name, selector, words) QUICKTIME_STUB Runtime##name##Stub, selector
#include "movie/movie_service_selectors.h"
#undef QUICKTIME_ROUTINE
#undef QTML_ROUTINE

#define QUICKTIME_ROUTINE(name, selector, words)
#define QTML_ROUTINE(name, selector, words) QTML_FORWARDING_ENTRY name
#include "movie/movie_service_selectors.h"
#undef QUICKTIME_ROUTINE
#undef QTML_ROUTINE
