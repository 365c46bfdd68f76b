/* The error routine that the binding cells hold while no runtime is bound. A stub enters it
 * like the dispatcher, by a jump, with the selector in EAX: it sets AX to -2095 and returns to
 * the caller, leaving the selector's group in the high half of EAX and everything else as it
 * was. An OSErr result therefore reads -2095. */

    .text
    .globl _QuickTimeNotBoundError
    .def _QuickTimeNotBoundError; .scl 2; .type 32; .endef
    .p2align 4
_QuickTimeNotBoundError:
    movw $-2095, %ax
    ret
