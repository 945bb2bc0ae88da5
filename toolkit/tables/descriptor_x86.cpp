// descriptor_x86.cpp - the accessor read as x86 or x64 code: the handful of
// one-byte-opcode instructions compilers write around "return an address",
// each with its ModRM operand decoded in full so that a load or store is
// judged by the address it really touches.
#include <array>
#include <optional>

#include "base/error.h"
#include "descriptor_machine.h"

namespace wendol::accessor {

namespace {

constexpr unsigned kAx = 0, kDx = 2, kBx = 3, kSp = 4, kBp = 5, kSi = 6, kDi = 7;

constexpr const char *kForms =
    "mov/lea of an address, a register move, cdq, xor, a shift, add/sub of an immediate, "
    "push/pop, a load or store in its own stack frame, leave, nop, endbr or ret";

uint64_t mask(unsigned width)
{
    return width == 8 ? ~uint64_t{0} : 0xFFFFFFFFu;
}

uint64_t sign_extend32(uint32_t v)
{
    return static_cast<uint64_t>(int64_t{static_cast<int32_t>(v)});
}

struct Rex {
    bool w = false, r = false, x = false, b = false;
};

// What a ModRM byte, with its SIB byte and displacement, names.
struct Operand {
    enum class Base : uint8_t { Register, Absolute, Rip };
    bool is_register = false;
    bool indexed = false;
    unsigned reg = 0;   // the reg field (with REX.R)
    unsigned rm = 0;    // the register operand, when is_register
    Base base = Base::Register;
    unsigned base_reg = 0;
    int64_t disp = 0;
    uint32_t disp_rva = 0;   // where an absolute address sits in the body
    uint32_t end = 0;        // the first byte after ModRM, SIB and displacement
};

class X86 : public Machine {
public:
    X86(const MappedImage &image, uint32_t start, bool long_mode)
        : Machine(image, start), long_mode_(long_mode)
    {
        for (unsigned r = 0; r < regs_.size(); ++r)
            regs_[r] = Value::entry(r);
    }

    DescriptorCall run()
    {
        uint32_t pc = start_;
        for (unsigned n = 0; n < kMaxInstructions; ++n)
            if (std::optional<DescriptorCall> call = step(pc))
                return *call;
        too_long();
    }

private:
    std::string register_name(unsigned reg) const override
    {
        static constexpr const char *k32[] = {"EAX", "ECX", "EDX", "EBX",
                                              "ESP", "EBP", "ESI", "EDI"};
        static constexpr const char *k64[] = {"RAX", "RCX", "RDX", "RBX", "RSP", "RBP",
                                              "RSI", "RDI", "R8",  "R9",  "R10", "R11",
                                              "R12", "R13", "R14", "R15"};
        return long_mode_ ? k64[reg & 15] : k32[reg & 7];
    }

    unsigned stack_width() const { return long_mode_ ? 8 : 4; }

    // A value as an operand of `width` bytes: in 64-bit code a 32-bit
    // operand is the low half, known only of a number (and a 32-bit write
    // zero-extends, which the same cut does).
    Value fit(Value v, unsigned width) const
    {
        if (v.is(Value::Kind::Number)) {
            v.number &= mask(width);
            return v;
        }
        return long_mode_ && width == 4 ? Value{} : v;
    }
    Value get(unsigned reg, unsigned width) const
    {
        return fit(reg == kSp ? sp() : regs_[reg], width);
    }
    void set(uint32_t pc, unsigned reg, Value v, unsigned width)
    {
        v = fit(std::move(v), width);
        if (reg == kSp)
            set_sp(pc, v);
        else
            regs_[reg] = std::move(v);
    }

    Operand operand(uint32_t p, const Rex &rex) const;
    Value address(uint32_t pc, const Operand &o, uint32_t end);

    void push(uint32_t pc, const Value &v);
    Value pop(uint32_t pc);

    std::optional<DescriptorCall> step(uint32_t &pc);
    bool move(uint32_t pc, uint8_t op, const Rex &rex, unsigned width, uint32_t p, uint32_t &end);
    bool arithmetic(uint32_t pc, uint8_t op, const Rex &rex, unsigned width, uint32_t p,
                    uint32_t &end);
    DescriptorCall ret(uint32_t pc, uint32_t end);

    // endbr32 / endbr64 (F3 0F 1E FB / FA), which -fcf-protection puts first.
    bool is_endbr(uint32_t pc) const
    {
        return pc + 4 <= image_.memory().size() && u8(pc) == 0xF3 && u8(pc + 1) == 0x0F &&
               u8(pc + 2) == 0x1E && u8(pc + 3) == (long_mode_ ? 0xFA : 0xFB);
    }

    [[noreturn]] void refuse_instruction(uint32_t pc) const;
    std::string what_is(uint32_t pc) const;

    const bool long_mode_;
    std::array<Value, 16> regs_;
};

Operand X86::operand(uint32_t p, const Rex &rex) const
{
    Operand o;
    const uint8_t modrm = u8(p++);
    const unsigned mod = modrm >> 6, rm = modrm & 7;
    o.reg = ((modrm >> 3) & 7) | (rex.r ? 8 : 0);
    if (mod == 3) {
        o.is_register = true;
        o.rm = rm | (rex.b ? 8 : 0);
        o.end = p;
        return o;
    }
    o.base_reg = rm | (rex.b ? 8 : 0);
    bool disp32 = mod == 2;
    if (rm == 4) {
        const uint8_t sib = u8(p++);
        o.indexed = (((sib >> 3) & 7) | (rex.x ? 8 : 0)) != 4;
        o.base_reg = (sib & 7) | (rex.b ? 8 : 0);
        if ((sib & 7) == 5 && mod == 0) {
            o.base = Operand::Base::Absolute;
            disp32 = true;
        }
    } else if (rm == 5 && mod == 0) {
        // 64-bit code addresses relative to the next instruction here.
        o.base = long_mode_ ? Operand::Base::Rip : Operand::Base::Absolute;
        disp32 = true;
    }
    o.disp_rva = p;
    if (mod == 1) {
        o.disp = static_cast<int8_t>(u8(p));
        p += 1;
    } else if (disp32) {
        o.disp = static_cast<int32_t>(u32(p));
        p += 4;
    }
    o.end = p;
    return o;
}

Value X86::address(uint32_t pc, const Operand &o, uint32_t end)
{
    if (o.indexed)
        refuse(pc, "an address of one base register and a displacement",
               "an indexed address: " + bytes_at(pc, end - pc));
    switch (o.base) {
    case Operand::Base::Absolute: {
        const auto disp = static_cast<uint32_t>(o.disp);
        return immediate(long_mode_ ? sign_extend32(disp) : disp, o.disp_rva, 4);
    }
    case Operand::Base::Rip:
        return relative(end, o.disp);
    default:
        return plus(get(o.base_reg, stack_width()), o.disp, mask(stack_width()));
    }
}

void X86::push(uint32_t pc, const Value &v)
{
    const Value below = plus(sp(), -int64_t{stack_width()}, ~uint64_t{0});
    set_sp(pc, below);
    store(pc, below, stack_width(), v);
}

Value X86::pop(uint32_t pc)
{
    Value v = load(pc, sp(), stack_width());
    set_sp(pc, plus(sp(), stack_width(), ~uint64_t{0}));
    return v;
}

std::optional<DescriptorCall> X86::step(uint32_t &pc)
{
    uint32_t p = pc;
    if (is_endbr(pc)) {   // a branch-target marker: a nop to straight-line code
        pc += 4;
        return std::nullopt;
    }
    Rex rex;
    uint8_t op = u8(p++);
    if (long_mode_ && (op & 0xF0) == 0x40) {
        rex = {(op & 8) != 0, (op & 4) != 0, (op & 2) != 0, (op & 1) != 0};
        op = u8(p++);
    }
    const unsigned width = rex.w ? 8 : 4;
    const unsigned low = (op & 7) | (rex.b ? 8 : 0);
    uint32_t end = p;

    if (op == 0x90 && !rex.b) {   // nop (with REX.B it is xchg)
    } else if (op >= 0x50 && op <= 0x57) {
        push(pc, get(low, stack_width()));
    } else if (op >= 0x58 && op <= 0x5F) {
        if (low == kSp)
            refuse_instruction(pc);
        regs_[low] = pop(pc);
    } else if (op >= 0xB8 && op <= 0xBF) {   // mov reg, imm32 / imm64 (movabs)
        if (rex.w) {
            set(pc, low, immediate(u64(p), p, 8), 8);
            end = p + 8;
        } else {
            set(pc, low, immediate(u32(p), p, 4), 4);
            end = p + 4;
        }
    } else if (op == 0xA1) {   // mov eax, [absolute]
        const unsigned size = long_mode_ ? 8 : 4;
        const Value at = size == 8 ? immediate(u64(p), p, 8) : immediate(u32(p), p, 4);
        end = p + size;
        set(pc, kAx, load(pc, at, width), width);
    } else if (op == 0x99) {   // cdq / cqo: EDX the sign of EAX
        const Value a = get(kAx, width);
        const uint64_t sign = uint64_t{1} << (width * 8 - 1);
        set(pc, kDx,
            a.is(Value::Kind::Number) ? Value::constant(a.number & sign ? mask(width) : 0, a.from)
                                      : Value{},
            width);
    } else if (op == 0xC9) {   // leave
        set_sp(pc, get(kBp, stack_width()));
        regs_[kBp] = pop(pc);
    } else if (op == 0xC3) {
        return ret(pc, p);
    } else if (op == 0xC2) {   // ret imm16: nothing to pop, the function has no arguments
        if (image_.u16(p, "KbdLayerDescriptor body") != 0)
            refuse(pc, "ret or ret 0 (KbdLayerDescriptor takes no arguments)",
                   "ret " + std::to_string(image_.u16(p, "KbdLayerDescriptor body")));
        return ret(pc, p + 2);
    } else if (!move(pc, op, rex, width, p, end) && !arithmetic(pc, op, rex, width, p, end)) {
        refuse_instruction(pc);
    }
    pc = end;
    return std::nullopt;
}

// mov between registers and memory, mov of an immediate, lea.
bool X86::move(uint32_t pc, uint8_t op, const Rex &rex, unsigned width, uint32_t p, uint32_t &end)
{
    if (op != 0x89 && op != 0x8B && op != 0x8D && op != 0xC7)
        return false;
    const Operand o = operand(p, rex);
    end = o.end;
    if (op == 0x89) {   // mov r/m, reg
        if (o.is_register)
            set(pc, o.rm, get(o.reg, width), width);
        else
            store(pc, address(pc, o, end), width, get(o.reg, width));
    } else if (op == 0x8B) {   // mov reg, r/m
        set(pc, o.reg, o.is_register ? get(o.rm, width) : load(pc, address(pc, o, end), width),
            width);
    } else if (op == 0x8D) {   // lea reg, m
        if (o.is_register)
            refuse_instruction(pc);
        set(pc, o.reg, address(pc, o, end), width);
    } else {   // mov r/m, imm32 (sign-extended for a 64-bit operand)
        if ((o.reg & 7) != 0)
            refuse_instruction(pc);
        end = o.end + 4;
        const uint32_t imm = u32(o.end);
        const Value v = immediate(width == 8 ? sign_extend32(imm) : imm, o.end, 4);
        if (o.is_register)
            set(pc, o.rm, v, width);
        else
            store(pc, address(pc, o, end), width, v);
    }
    return true;
}

// xor and sub of registers, add and sub of an immediate, shifts by an
// immediate: all on registers only.
bool X86::arithmetic(uint32_t pc, uint8_t op, const Rex &rex, unsigned width, uint32_t p,
                     uint32_t &end)
{
    const bool pair = op == 0x31 || op == 0x33 || op == 0x29 || op == 0x2B;
    const bool immediate_op = op == 0x81 || op == 0x83;
    const bool shift = op == 0xC1 || op == 0xD1;
    if (!pair && !immediate_op && !shift)
        return false;
    const Operand o = operand(p, rex);
    if (!o.is_register)
        refuse_instruction(pc);
    end = o.end;
    const unsigned sub_op = o.reg & 7;
    if (pair) {
        const bool to_rm = op == 0x31 || op == 0x29;
        const unsigned dst = to_rm ? o.rm : o.reg, src = to_rm ? o.reg : o.rm;
        const Value a = get(dst, width), b = get(src, width);
        const bool is_xor = op == 0x31 || op == 0x33;
        Value v;   // the same register twice is zero, whatever it held
        if (dst == src)
            v = Value::constant(0);
        else if (a.is(Value::Kind::Number) && b.is(Value::Kind::Number))
            v = Value::constant(is_xor ? a.number ^ b.number : a.number - b.number,
                                merged(a.from, b.from));
        set(pc, dst, v, width);
    } else if (immediate_op) {
        if (sub_op != 0 && sub_op != 5)
            refuse_instruction(pc);
        const uint64_t imm = op == 0x83 ? sign_extend32(static_cast<uint32_t>(
                                              int32_t{static_cast<int8_t>(u8(end))}))
                                        : sign_extend32(u32(end));
        end += op == 0x83 ? 1 : 4;
        const auto delta = static_cast<int64_t>(sub_op == 0 ? imm : 0 - imm);
        set(pc, o.rm, plus(get(o.rm, width), delta, mask(width)), width);
    } else {
        if (sub_op != 4 && sub_op != 5 && sub_op != 7)
            refuse_instruction(pc);
        unsigned count = 1;
        if (op == 0xC1)
            count = u8(end++);
        count &= width * 8 - 1;
        const Value a = get(o.rm, width);
        Value v;
        if (a.is(Value::Kind::Number)) {
            uint64_t n = a.number;
            if (sub_op == 4)
                n <<= count;
            else if (sub_op == 5)
                n >>= count;
            else
                n = width == 8 ? static_cast<uint64_t>(static_cast<int64_t>(n) >> count)
                               : sign_extend32(static_cast<uint32_t>(
                                     static_cast<int32_t>(static_cast<uint32_t>(n)) >> count));
            v = Value::constant(n & mask(width), a.from);
        }
        set(pc, o.rm, v, width);
    }
    return true;
}

DescriptorCall X86::ret(uint32_t pc, uint32_t end)
{
    check_stack_at_return(pc);
    static constexpr unsigned kSaved32[] = {kBx, kBp, kSi, kDi};
    static constexpr unsigned kSaved64[] = {kBx, kBp, kSi, kDi, 12, 13, 14, 15};
    if (long_mode_) {
        for (const unsigned r : kSaved64)
            check_preserved(pc, r, regs_[r]);
        return returned(pc, end, "RAX", regs_[kAx]);
    }
    for (const unsigned r : kSaved32)
        check_preserved(pc, r, regs_[r]);
    // EDX widens the result only where the body sets it; a body returning a
    // 32-bit pointer leaves it as it was.
    return returned(pc, end, "EAX", regs_[kAx], &regs_[kDx]);
}

// Names what the body does instead, where that is clear from the opcode.
std::string X86::what_is(uint32_t pc) const
{
    uint32_t p = pc;
    uint8_t op = u8(p++);
    if (long_mode_ && (op & 0xF0) == 0x40)
        op = u8(p++);
    const uint8_t next = p < image_.memory().size() ? image_.memory()[p] : 0;
    const unsigned ext = (next >> 3) & 7;
    if (op == 0xE8 || op == 0x9A || (op == 0xFF && (ext == 2 || ext == 3)))
        return "a call";
    if (op == 0xE9 || op == 0xEB || op == 0xEA || (op == 0xFF && (ext == 4 || ext == 5)))
        return "a jump";
    if ((op >= 0x70 && op <= 0x7F) || op == 0xE3 || (op == 0x0F && next >= 0x80 && next <= 0x8F))
        return "a branch";
    if (op >= 0xE0 && op <= 0xE2)
        return "a loop";
    if (op == 0xCC || op == 0xCD || op == 0xCE)
        return "an interrupt";
    if (op == 0xF2 || op == 0xF3 || (op >= 0xA4 && op <= 0xAF && op != 0xA1))
        return "a string operation";
    if (op == 0x0F && (next == 0x05 || next == 0x34))
        return "a system call";
    return "an instruction of another form";
}

void X86::refuse_instruction(uint32_t pc) const
{
    refuse(pc, kForms, what_is(pc) + ", " + bytes_at(pc, 8));
}

}  // namespace

DescriptorCall run_x86(const MappedImage &image, uint32_t start)
{
    return X86(image, start, false).run();
}

DescriptorCall run_x64(const MappedImage &image, uint32_t start)
{
    return X86(image, start, true).run();
}

}  // namespace wendol::accessor
