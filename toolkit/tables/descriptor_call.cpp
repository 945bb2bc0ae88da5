// descriptor_call.cpp - the accessor's few instruction forms, interpreted.
#include "tables/descriptor_call.h"

#include "base/error.h"
#include "pe/pe_format.h"

namespace wendol {

namespace {

// No accessor needs more; a longer run is something else.
constexpr unsigned kMaxInstructions = 8;

std::string at(uint32_t rva)
{
    return "KbdLayerDescriptor at RVA " + hex(rva);
}

DescriptorCall run_x86(const MappedImage &image, uint32_t start)
{
    DescriptorCall call{.body_rva = start};
    uint32_t eax = 0, edx = 0;
    bool eax_set = false;
    uint32_t pc = start;
    for (unsigned step = 0; step < kMaxInstructions; ++step) {
        const uint8_t op = image.u8(pc, "KbdLayerDescriptor body");
        if (op == 0xB8) {   // mov eax, imm32
            eax = image.u32(pc + 1, "KbdLayerDescriptor body");
            eax_set = true;
            call.has_constant = true;
            call.constant_rva = pc + 1;
            pc += 5;
        } else if (op == 0x99) {   // cdq
            edx = (eax & 0x80000000u) ? 0xFFFFFFFFu : 0;
            pc += 1;
        } else if (op == 0xC3) {   // ret
            if (!eax_set)
                fail(at(start), "EAX loaded before the return", "a return first");
            call.value = uint64_t{edx} << 32 | eax;
            call.body_size = pc + 1 - start;
            return call;
        } else {
            fail(at(start), "mov eax, imm32 (B8), cdq (99) or ret (C3) at RVA " + hex(pc),
                 "opcode " + hex(op, 2));
        }
    }
    fail(at(start), "a return within " + std::to_string(kMaxInstructions) + " instructions",
         "none");
}

DescriptorCall run_x64(const MappedImage &image, uint32_t start)
{
    DescriptorCall call{.body_rva = start};
    uint64_t rax = 0;
    bool rax_set = false;
    uint32_t pc = start;
    for (unsigned step = 0; step < kMaxInstructions; ++step) {
        const uint8_t op = image.u8(pc, "KbdLayerDescriptor body");
        const uint8_t op2 = op == 0x48 ? image.u8(pc + 1, "KbdLayerDescriptor body") : 0;
        if (op == 0x48 && op2 == 0x8D && image.u8(pc + 2, "KbdLayerDescriptor body") == 0x05) {
            // lea rax, [rip + disp32]: relative to the next instruction
            const auto disp = static_cast<int32_t>(image.u32(pc + 3, "KbdLayerDescriptor body"));
            rax = image.base() + pc + 7 + static_cast<uint64_t>(int64_t{disp});
            rax_set = true;
            pc += 7;
        } else if (op == 0x48 && op2 == 0xB8) {   // mov rax, imm64
            rax = image.u64(pc + 2, "KbdLayerDescriptor body");
            rax_set = true;
            call.has_constant = true;
            call.constant_rva = pc + 2;
            pc += 10;
        } else if (op == 0xC3) {
            if (!rax_set)
                fail(at(start), "RAX loaded before the return", "a return first");
            call.value = rax;
            call.body_size = pc + 1 - start;
            return call;
        } else {
            fail(at(start),
                 "lea rax, [rip+disp32] (48 8D 05), mov rax, imm64 (48 B8) or ret (C3) at RVA " +
                     hex(pc),
                 "opcode " + hex(op, 2));
        }
    }
    fail(at(start), "a return within " + std::to_string(kMaxInstructions) + " instructions",
         "none");
}

// Arm64 instruction forms, by mask and value.
constexpr uint32_t kAdrpMask = 0x9F000000, kAdrp = 0x90000000;
constexpr uint32_t kAddImmMask = 0xFF800000, kAddImm = 0x91000000;   // 64-bit, no flags
constexpr uint32_t kRet = 0xD65F03C0;

uint64_t adrp_target(uint64_t pc, uint32_t insn)
{
    const uint32_t immlo = (insn >> 29) & 0x3;
    const uint32_t immhi = (insn >> 5) & 0x7FFFF;
    int64_t imm = static_cast<int64_t>(immhi << 2 | immlo);
    if (imm & (int64_t{1} << 20))
        imm -= int64_t{1} << 21;
    return (pc & ~uint64_t{0xFFF}) + static_cast<uint64_t>(imm * 4096);
}

DescriptorCall run_arm64(const MappedImage &image, uint32_t start)
{
    DescriptorCall call{.body_rva = start};
    uint64_t x0 = 0;
    bool x0_set = false;
    uint32_t pc = start;
    for (unsigned step = 0; step < kMaxInstructions; ++step, pc += 4) {
        const uint32_t insn = image.u32(pc, "KbdLayerDescriptor body");
        if ((insn & kAdrpMask) == kAdrp && (insn & 0x1F) == 0) {
            x0 = adrp_target(image.base() + pc, insn);
            x0_set = true;
        } else if ((insn & kAddImmMask) == kAddImm && (insn & 0x1F) == 0 &&
                   ((insn >> 5) & 0x1F) == 0 && x0_set) {
            const uint32_t imm = (insn >> 10) & 0xFFF;
            x0 += (insn & (1u << 22)) ? uint64_t{imm} << 12 : imm;
        } else if (insn == kRet) {
            if (!x0_set)
                fail(at(start), "X0 loaded before the return", "a return first");
            call.value = x0;
            call.body_size = pc + 4 - start;
            return call;
        } else {
            fail(at(start),
                 "adrp x0 / add x0, x0, #imm / ret at RVA " + hex(pc), "instruction " + hex(insn, 8));
        }
    }
    fail(at(start), "a return within " + std::to_string(kMaxInstructions) + " instructions",
         "none");
}

}  // namespace

DescriptorCall call_function(const MappedImage &image, uint32_t function_rva)
{
    switch (image.file().headers().machine) {
    case pe::kMachineI386:
        return run_x86(image, function_rva);
    case pe::kMachineAmd64:
        return run_x64(image, function_rva);
    case pe::kMachineArm64:
        return run_arm64(image, function_rva);
    default:
        fail(at(function_rva), "an x86, x64 or Arm64 image",
             "machine " + hex(image.file().headers().machine, 4));
    }
}

DescriptorCall call_descriptor(const MappedImage &image, const std::string &name)
{
    const uint64_t address = image.export_address(name);
    return call_function(image, image.rva_of(address, "KbdLayerDescriptor address"));
}

}  // namespace wendol
