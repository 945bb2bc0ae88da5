// descriptor_call.h - "calls" KbdLayerDescriptor without running foreign code.
// A layout's accessor only loads an address and returns it, so a small
// interpreter that follows its body one instruction at a time tells what the
// call would return; anything that does more is refused, never guessed at.
//
// The body is read as straight-line code from the export to its return, in
// the forms compilers write for "return the address of a global" at any
// optimisation level (clang, MSVC, GCC/MinGW):
//
//   x86:   mov/lea of an absolute address (relocated), or a load of a
//          pointer the image holds (MinGW's .refptr), optionally widened to
//          EDX:EAX (cdq; mov edx, eax + sar edx, 31; xor edx, edx;
//          mov edx, 0; or the address written into EDX too, as clang -O2
//          does); result EDX:EAX, or EAX zero-extended where the body leaves
//          EDX as it found it (a function returning a 32-bit pointer)
//   x64:   lea rax, [rip+disp32]; mov rax, imm64 (relocated); mov eax, imm32;
//          a load of a pointer the image holds (MinGW's .refptr); result RAX
//   Arm64: adrp + add :lo12:; adr; ldr x0, =literal or adrp + ldr (a pointer
//          the image holds); result X0
//
// around it, on any of them: a frame (push ebp/rbp; mov ebp, esp ... pop or
// leave; stp x29, x30, [sp, #-16]!; mov x29, sp ... ldp), stack adjustments,
// register pushes and pops, register moves, nops, branch-target markers
// (endbr, bti), and loads and stores of the function's own stack frame,
// which unoptimised builds spill through.  Bytes after the return (padding)
// are not read.
//
// What counts as its own frame: the stack the body has allocated, below the
// stack pointer it was entered with and at or above the current one.  A
// store there touches nothing the caller or the platform can see once it
// returns; a store anywhere else (the return address, the caller's frame or
// home area, below the stack pointer, any other address), a call, a jump, a
// branch, a system call, an indexed or string memory access, a frame larger
// than a page, or a load of anything but its own frame or a constant the
// image holds in a section the platform cannot write, is refused.  At the
// return the stack pointer and every callee-saved register must be as the
// caller left them.  MSVC debug builds that fill their frame with 0xCC
// (rep stos) or call the Just My Code check are refused: they do more.
//
// Every absolute address the body holds or reads is listed (`constants`),
// whether or not the result comes from it: each needs a base relocation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pe/image.h"

namespace wendol {

// An absolute address the accessor holds: an immediate in its body, or a
// pointer in the image it reads.  The loader relocates each, so each needs
// a base relocation.
struct AddressConstant {
    uint32_t rva = 0;
    uint32_t size = 0;   // 4 or 8 bytes
    friend bool operator==(const AddressConstant &, const AddressConstant &) = default;
};

struct DescriptorCall {
    uint64_t value = 0;          // what the function returns
    uint32_t body_rva = 0;       // where its body starts
    uint32_t body_size = 0;      // bytes up to and including the return
    bool has_constant = false;   // the body holds an absolute address...
    uint32_t constant_rva = 0;   // ...here, the first the returned address comes from
    std::vector<AddressConstant> constants;   // all it holds or reads, by RVA
    // A 32-bit body's EDX at the return, the high half of a 64-bit result:
    // whether the body set it to a known value (cdq, xor edx, edx, the
    // address itself, ...), and what it holds there ("the caller's EDX",
    // "0x0").  A 64-bit body returns one whole register: set, and no text.
    bool high_half_set = true;
    std::string high_half{};
};

// Interprets the body at `function_rva` of the mapped image.
DescriptorCall call_function(const MappedImage &image, uint32_t function_rva);

// Finds the export and interprets it.
DescriptorCall call_descriptor(const MappedImage &image,
                               const std::string &name = "KbdLayerDescriptor");

}  // namespace wendol
