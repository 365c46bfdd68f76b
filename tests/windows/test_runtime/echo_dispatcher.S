/* The echo runtime's dispatcher: records the selector in EAX and the eight stack words beneath
 * the caller's return address, then returns the preset result straight to the caller. Like the
 * real dispatcher it is entered by a jump and keeps the caller's stack as it is. */

    .text
    .globl _EchoDispatcher
    .def _EchoDispatcher; .scl 2; .type 32; .endef
    .p2align 4
_EchoDispatcher:
    movl _gEchoCallCount, %ecx
    andl $63, %ecx
    movl %eax, _gEchoSelectors(,%ecx,4)
    incl _gEchoCallCount
    .irp word, 0, 1, 2, 3, 4, 5, 6, 7
    movl 4+4*\word(%esp), %ecx
    movl %ecx, _gEchoArguments+4*\word
    .endr
    movl _gEchoResult, %eax
    ret
