// descriptor_arm64.cpp - the accessor read as Arm64 code: fixed-width
// instructions matched by mask and value, 64-bit forms only.
#include <array>
#include <optional>

#include "base/error.h"
#include "descriptor_machine.h"

namespace wendol::accessor {

namespace {

constexpr unsigned kX0 = 0, kPlatform = 18, kFp = 29, kLr = 30;
constexpr unsigned kZrOrSp = 31;   // XZR or SP, by instruction

constexpr const char *kForms =
    "adrp, adr, add/sub of an immediate, mov, ldr of a literal, a load or store (ldr, str, "
    "ldp, stp) in its own stack frame or a load of a constant the image holds, nop, bti or ret";

constexpr uint32_t field(uint32_t insn, unsigned shift, unsigned bits)
{
    return (insn >> shift) & ((1u << bits) - 1);
}

constexpr int64_t signed_field(uint32_t insn, unsigned shift, unsigned bits)
{
    const auto v = static_cast<int64_t>(field(insn, shift, bits));
    return v & (int64_t{1} << (bits - 1)) ? v - (int64_t{1} << bits) : v;
}

// An instruction form: the bits `mask` selects equal `value`.
struct Form {
    uint32_t mask, value;
    bool matches(uint32_t insn) const { return (insn & mask) == value; }
};

constexpr Form kNop{0xFFFFFFFF, 0xD503201F};
constexpr Form kBti{0xFFFFFF3F, 0xD503241F};   // a branch-target marker, any kind
constexpr Form kAdrp{0x9F000000, 0x90000000};
constexpr Form kAdr{0x9F000000, 0x10000000};
constexpr Form kAddSubImm{0xBF800000, 0x91000000};   // 64-bit, no flags; bit 30 subtracts
constexpr Form kMovReg{0xFFE0FFE0, 0xAA0003E0};      // orr xd, xzr, xm
constexpr Form kLdrLiteral{0xFF000000, 0x58000000};
constexpr Form kLdrStrUnsigned{0xFFC00000 & ~0x00400000u, 0xF9000000};   // bit 22 loads
constexpr Form kLdrStrIndexed{0xFFA00000 & ~0x00400000u, 0xF8000000};    // unscaled, pre, post
constexpr Form kLdpStp{0xFE000000 & ~0x01C00000u, 0xA8000000};           // bit 22 loads
constexpr Form kRet{0xFFFFFC1F, 0xD65F0000};

class Arm64 : public Machine {
public:
    Arm64(const MappedImage &image, uint32_t start) : Machine(image, start)
    {
        for (unsigned r = 0; r < regs_.size(); ++r)
            regs_[r] = Value::entry(r);
    }

    DescriptorCall run()
    {
        for (uint32_t pc = start_, n = 0; n < kMaxInstructions; ++n, pc += 4)
            if (std::optional<DescriptorCall> call = step(pc))
                return *call;
        too_long();
    }

private:
    std::string register_name(unsigned reg) const override
    {
        return reg == kZrOrSp ? "SP" : std::string("X").append(std::to_string(reg));
    }

    // Register 31 is the stack pointer as a base or in add/sub of an
    // immediate, the zero register elsewhere.
    Value get(unsigned reg, bool sp_form) const
    {
        if (reg == kZrOrSp)
            return sp_form ? sp() : Value::constant(0);
        return regs_[reg];
    }
    void set(uint32_t pc, unsigned reg, Value v, bool sp_form)
    {
        if (reg != kZrOrSp)
            regs_[reg] = std::move(v);
        else if (sp_form)
            set_sp(pc, v);
    }

    std::optional<DescriptorCall> step(uint32_t pc);
    bool memory(uint32_t pc, uint32_t insn);
    void transfer(uint32_t pc, bool load_form, unsigned rt, const Value &address);
    DescriptorCall ret(uint32_t pc, uint32_t insn);

    std::string what_is(uint32_t insn) const;

    std::array<Value, 31> regs_;
};

std::optional<DescriptorCall> Arm64::step(uint32_t pc)
{
    const uint32_t insn = u32(pc);
    const unsigned rd = field(insn, 0, 5), rn = field(insn, 5, 5);
    if (kNop.matches(insn) || kBti.matches(insn)) {
    } else if (kAdrp.matches(insn)) {
        const int64_t pages = field(insn, 5, 19) << 2 | field(insn, 29, 2);
        const int64_t imm = signed_field(static_cast<uint32_t>(pages), 0, 21) * 4096;
        const uint64_t page = (image_.base() + pc) & ~uint64_t{0xFFF};
        set(pc, rd, Value::constant(page + static_cast<uint64_t>(imm)), false);
    } else if (kAdr.matches(insn)) {
        const auto bytes = static_cast<uint32_t>(field(insn, 5, 19) << 2 | field(insn, 29, 2));
        set(pc, rd, relative(pc, signed_field(bytes, 0, 21)), false);
    } else if (kAddSubImm.matches(insn)) {   // also mov to and from sp
        int64_t imm = field(insn, 10, 12);
        if (insn & (1u << 22))
            imm <<= 12;
        if (insn & (1u << 30))
            imm = -imm;
        set(pc, rd, plus(get(rn, true), imm, ~uint64_t{0}), true);
    } else if (kMovReg.matches(insn)) {
        set(pc, rd, get(field(insn, 16, 5), false), false);
    } else if (kLdrLiteral.matches(insn)) {
        transfer(pc, true, rd, relative(pc, signed_field(insn, 5, 19) * 4));
    } else if (kRet.matches(insn)) {
        return ret(pc, insn);
    } else if (!memory(pc, insn)) {
        refuse(pc, kForms, what_is(insn) + ", instruction " + hex(insn, 8));
    }
    return std::nullopt;
}

void Arm64::transfer(uint32_t pc, bool load_form, unsigned rt, const Value &address)
{
    if (load_form)
        set(pc, rt, load(pc, address, 8), false);
    else
        store(pc, address, 8, get(rt, false));
}

// 64-bit loads and stores of one register or a pair, by an immediate offset
// from a base, with or without writing the address back.
bool Arm64::memory(uint32_t pc, uint32_t insn)
{
    const unsigned rt = field(insn, 0, 5), rn = field(insn, 5, 5);
    const bool load_form = insn & (1u << 22);
    const Value base = get(rn, true);
    if (kLdrStrUnsigned.matches(insn)) {
        transfer(pc, load_form, rt, plus(base, int64_t{field(insn, 10, 12)} * 8, ~uint64_t{0}));
        return true;
    }
    int64_t offset = 0;
    unsigned mode = 0;   // 0 offset, 1 post-index, 3 pre-index (the encoding's own numbers)
    bool pair = false;
    if (kLdrStrIndexed.matches(insn) && field(insn, 10, 2) != 2) {
        offset = signed_field(insn, 12, 9);
        mode = field(insn, 10, 2);
    } else if (kLdpStp.matches(insn) && field(insn, 23, 2) != 0) {
        offset = signed_field(insn, 15, 7) * 8;
        mode = field(insn, 23, 2) == 2 ? 0 : field(insn, 23, 2) == 1 ? 1 : 3;
        pair = true;
    } else {
        return false;
    }
    const Value at = plus(base, mode == 1 ? 0 : offset, ~uint64_t{0});
    // Pre-index moves the base first (a push); post-index after (a pop),
    // so that the access is judged against the stack it really meets.
    if (mode == 3)
        set(pc, rn, at, true);
    transfer(pc, load_form, rt, at);
    if (pair)
        transfer(pc, load_form, field(insn, 10, 5), plus(at, 8, ~uint64_t{0}));
    if (mode == 1)
        set(pc, rn, plus(base, offset, ~uint64_t{0}), true);
    return true;
}

DescriptorCall Arm64::ret(uint32_t pc, uint32_t insn)
{
    const unsigned target = field(insn, 5, 5);
    if (target == kZrOrSp || !regs_[target].is_entry(kLr))
        refuse(pc, "a return to the caller's X30",
               "ret to " + (target == kZrOrSp ? std::string("XZR") : describe(regs_[target])));
    check_stack_at_return(pc);
    // X18 is the platform's; X19 to X29 are callee-saved.
    check_preserved(pc, kPlatform, regs_[kPlatform]);
    for (unsigned r = 19; r <= kFp; ++r)
        check_preserved(pc, r, regs_[r]);
    return returned(pc, pc + 4, "X0", regs_[kX0]);
}

// Names what the body does instead, where the encoding tells it.
std::string Arm64::what_is(uint32_t insn) const
{
    if (Form{0xFC000000, 0x94000000}.matches(insn) || Form{0xFFFFFC1F, 0xD63F0000}.matches(insn))
        return "a call";
    if (Form{0xFC000000, 0x14000000}.matches(insn) || Form{0xFFFFFC1F, 0xD61F0000}.matches(insn))
        return "a jump";
    if (Form{0xFF000010, 0x54000000}.matches(insn) || Form{0x7E000000, 0x34000000}.matches(insn) ||
        Form{0x7E000000, 0x36000000}.matches(insn))
        return "a branch";
    if (Form{0xFFE0001F, 0xD4000001}.matches(insn))
        return "a system call";
    if (Form{0xFFE0001F, 0xD4200000}.matches(insn))
        return "a breakpoint";
    return "an instruction of another form";
}

}  // namespace

DescriptorCall run_arm64(const MappedImage &image, uint32_t start)
{
    return Arm64(image, start).run();
}

}  // namespace wendol::accessor
