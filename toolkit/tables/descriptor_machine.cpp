// descriptor_machine.cpp - the checks every accessor interpreter applies the
// same way: its frame, its loads and stores, its return.
#include "descriptor_machine.h"

#include <algorithm>

#include "base/error.h"
#include "pe/pe_format.h"
#include "pe/sections.h"

namespace wendol::accessor {

namespace {

constexpr const char *kBody = "KbdLayerDescriptor body";

std::string at(uint32_t rva)
{
    return "KbdLayerDescriptor at RVA " + hex(rva);
}

std::string stack_place(int64_t offset)
{
    if (offset == 0)
        return "the entry stack pointer";
    return "the entry stack pointer " + std::string(offset < 0 ? "- " : "+ ") +
           std::to_string(offset < 0 ? -offset : offset);
}

}  // namespace

std::vector<AddressConstant> merged(std::vector<AddressConstant> a,
                                    const std::vector<AddressConstant> &b)
{
    a.insert(a.end(), b.begin(), b.end());
    std::sort(a.begin(), a.end(), [](const AddressConstant &x, const AddressConstant &y) {
        return x.rva < y.rva;
    });
    a.erase(std::unique(a.begin(), a.end()), a.end());
    return a;
}

Value plus(const Value &v, int64_t delta, uint64_t mask)
{
    switch (v.kind) {
    case Value::Kind::Number:
        return Value::constant((v.number + static_cast<uint64_t>(delta)) & mask, v.from);
    case Value::Kind::Stack:
        return Value::stack(v.offset() + delta);
    default:
        return delta == 0 ? v : Value{};
    }
}

void Frame::move_sp(int64_t to)
{
    sp_ = to;
    std::erase_if(slots_, [to](const Slot &s) { return s.offset < to; });
}

void Frame::store(int64_t offset, uint32_t size, Value value)
{
    // Whatever the new bytes overlap is gone, whole.
    std::erase_if(slots_, [&](const Slot &s) {
        return s.offset < offset + int64_t{size} && offset < s.offset + int64_t{s.size};
    });
    slots_.push_back({offset, size, std::move(value)});
}

Value Frame::load(int64_t offset, uint32_t size) const
{
    for (const Slot &s : slots_)
        if (s.offset == offset && s.size == size)
            return s.value;
    return {};
}

uint8_t Machine::u8(uint32_t rva) const
{
    return image_.u8(rva, kBody);
}

uint32_t Machine::u32(uint32_t rva) const
{
    return image_.u32(rva, kBody);
}

uint64_t Machine::u64(uint32_t rva) const
{
    return image_.u64(rva, kBody);
}

Value Machine::immediate(uint64_t value, uint32_t rva, uint32_t size)
{
    const uint64_t base = image_.base();
    if (value < base || value - base >= image_.memory().size())
        return Value::constant(value);
    held_ = merged(std::move(held_), {{rva, size}});
    return Value::constant(value, {{rva, size}});
}

Value Machine::relative(uint32_t rva, int64_t delta) const
{
    return Value::constant(image_.base() + rva + static_cast<uint64_t>(delta));
}

void Machine::check_frame(uint32_t pc, const Value &address, uint32_t size,
                          const char *access) const
{
    const std::string expected =
        std::string(access) + " in its own stack frame (" +
        (frame_.sp() == 0 ? std::string("none is allocated here")
                          : "the " + std::to_string(-frame_.sp()) +
                                " bytes below the entry stack pointer") +
        ")";
    if (!address.is(Value::Kind::Stack))
        refuse(pc, expected, std::string(access) + " at " + describe(address));
    if (!frame_.holds(address.offset(), size))
        refuse(pc, expected,
               std::string(access) + " of " + std::to_string(size) + " bytes at " +
                   stack_place(address.offset()) +
                   (address.offset() < frame_.sp() ? ", below the stack pointer"
                                                   : ", the return address or the caller's frame"));
}

Value Machine::load(uint32_t pc, const Value &address, uint32_t size)
{
    if (address.is(Value::Kind::Number))
        return read_constant(pc, address, size);
    check_frame(pc, address, size, "a load");
    return frame_.load(address.offset(), size);
}

void Machine::store(uint32_t pc, const Value &address, uint32_t size, Value value)
{
    check_frame(pc, address, size, "a store");
    frame_.store(address.offset(), size, std::move(value));
}

// Only a word of the image that nothing can change: the platform maps the
// tables' sections read-only, and a writable one is not a constant.
Value Machine::read_constant(uint32_t pc, const Value &address, uint32_t size)
{
    const std::string expected =
        "a load from its own stack frame or of a constant the image holds";
    const uint64_t base = image_.base();
    const uint64_t end = base + image_.memory().size();
    if (address.number < base || address.number >= end || end - address.number < size)
        refuse(pc, expected, "a load at " + hex(address.number) + ", outside the image");
    const auto rva = static_cast<uint32_t>(address.number - base);
    const Section *s = section_holding(image_.file().sections(), rva, size);
    if (!s)
        refuse(pc, expected, "a load at RVA " + hex(rva) + ", in no section");
    if (s->characteristics & pe::kScnMemWrite)
        refuse(pc, expected, "a load at RVA " + hex(rva) + ", in the writable section " + s->name);
    const uint64_t word = size == 8 ? u64(rva) : u32(rva);
    Value loaded = immediate(word, rva, size);
    loaded.from = merged(std::move(loaded.from), address.from);
    return loaded;
}

void Machine::set_sp(uint32_t pc, const Value &value)
{
    if (!value.is(Value::Kind::Stack))
        refuse(pc, "the stack pointer kept relative to its entry value",
               "it set to " + describe(value));
    if (value.offset() > 0)
        refuse(pc, "the stack pointer at or below its entry value",
               "it moved to " + stack_place(value.offset()) + ", past the return address");
    if (value.offset() < -kMaxFrame)
        refuse(pc,
               "a stack frame within " + std::to_string(kMaxFrame) +
                   " bytes (a larger one needs a probe, which is a call)",
               stack_place(value.offset()));
    frame_.move_sp(value.offset());
}

void Machine::check_stack_at_return(uint32_t pc) const
{
    if (frame_.sp() != 0)
        refuse(pc, "the stack pointer back at its entry value at the return",
               "it at " + stack_place(frame_.sp()));
}

void Machine::check_preserved(uint32_t pc, unsigned reg, const Value &value) const
{
    if (!value.is_entry(reg))
        refuse(pc, register_name(reg) + " as the caller left it at the return (it is callee-saved)",
               describe(value));
}

DescriptorCall Machine::returned(uint32_t pc, uint32_t end, const std::string &name,
                                 const Value &result, const Value *high) const
{
    if (result.is(Value::Kind::Entry))
        fail(at(start_), name + " loaded before the return at RVA " + hex(pc),
             "a return first, with " + describe(result));
    if (!result.is(Value::Kind::Number))
        refuse(pc, name + " holding a known address at the return", describe(result));

    DescriptorCall call;
    call.body_rva = start_;
    call.value = result.number;
    if (high) {
        call.high_half_set = high->is(Value::Kind::Number);
        call.high_half = describe(*high);
    }
    if (high && high->is(Value::Kind::Number))
        call.value = high->number << 32 | (result.number & 0xFFFFFFFFu);
    call.body_size = end - start_;
    call.constants = held_;
    call.has_constant = !held_.empty();
    if (call.has_constant)
        call.constant_rva = result.from.empty() ? held_.front().rva : result.from.front().rva;
    return call;
}

std::string Machine::describe(const Value &v) const
{
    switch (v.kind) {
    case Value::Kind::Entry:
        return "the caller's " + register_name(static_cast<unsigned>(v.number));
    case Value::Kind::Number:
        return hex(v.number);
    case Value::Kind::Stack:
        return "the stack address " + stack_place(v.offset());
    default:
        return "a value known only by running it";
    }
}

void Machine::refuse(uint32_t pc, const std::string &expected, const std::string &found) const
{
    fail(at(start_), expected + " at RVA " + hex(pc), found);
}

void Machine::too_long() const
{
    fail(at(start_), "a return within " + std::to_string(kMaxInstructions) + " instructions",
         "none");
}

std::string Machine::bytes_at(uint32_t pc, unsigned count) const
{
    std::string out = "bytes";
    for (uint32_t rva = pc; rva - pc < count && rva < image_.memory().size(); ++rva) {
        out += ' ';
        out += hex(image_.memory()[rva], 2).substr(2);
    }
    return out;
}

}  // namespace wendol::accessor
