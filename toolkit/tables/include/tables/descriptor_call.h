// descriptor_call.h - "calls" KbdLayerDescriptor without running foreign code.
// A layout's accessor only loads an address and returns it, so a tiny
// interpreter for those few instruction forms tells what the call would
// return; anything else is refused, never guessed at.
//
//   x86:   mov eax, imm32 (B8) ; cdq (99) ; ret (C3)        result EDX:EAX
//   x64:   lea rax, [rip+disp32] (48 8D 05) or mov rax, imm64 (48 B8) ; ret
//   Arm64: adrp x0, page ; add x0, x0, #imm12 ; ret
#pragma once

#include <cstdint>
#include <string>

#include "pe/image.h"

namespace wendol {

struct DescriptorCall {
    uint64_t value = 0;          // what the function returns
    uint32_t body_rva = 0;       // where its body starts
    uint32_t body_size = 0;      // bytes up to and including the return
    bool has_constant = false;   // the body holds an absolute address...
    uint32_t constant_rva = 0;   // ...here, which the loader relocates
};

// Interprets the body at `function_rva` of the mapped image.
DescriptorCall call_function(const MappedImage &image, uint32_t function_rva);

// Finds the export and interprets it.
DescriptorCall call_descriptor(const MappedImage &image,
                               const std::string &name = "KbdLayerDescriptor");

}  // namespace wendol
