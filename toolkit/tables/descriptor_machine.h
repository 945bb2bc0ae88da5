// descriptor_machine.h - what the accessor interpreters of every processor
// share: the values a register can hold, the function's own stack frame,
// the body's bytes, and errors that say where the body went wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pe/image.h"
#include "tables/descriptor_call.h"

namespace wendol::accessor {

// No accessor, however unoptimised, needs more; a longer run is something else.
constexpr unsigned kMaxInstructions = 32;

// A larger frame needs a stack probe, which is a call.
constexpr int64_t kMaxFrame = 4096;

// What a register or a stack slot holds, as far as reading the body tells.
struct Value {
    enum class Kind : uint8_t {
        Unknown,   // something the body cannot know without running
        Entry,     // what the caller left in register `number`
        Number,    // `number`, computed from the address constants `from`
        Stack,     // the stack address `number` (signed) bytes from the entry stack pointer
    };
    Kind kind = Kind::Unknown;
    uint64_t number = 0;
    std::vector<AddressConstant> from;

    static Value entry(unsigned reg) { return {Kind::Entry, reg, {}}; }
    static Value constant(uint64_t n, std::vector<AddressConstant> from = {})
    {
        return {Kind::Number, n, std::move(from)};
    }
    static Value stack(int64_t offset) { return {Kind::Stack, static_cast<uint64_t>(offset), {}}; }

    bool is(Kind k) const { return kind == k; }
    bool is_entry(unsigned reg) const { return kind == Kind::Entry && number == reg; }
    int64_t offset() const { return static_cast<int64_t>(number); }
};

// The union of two lists of address constants, by RVA.
std::vector<AddressConstant> merged(std::vector<AddressConstant> a,
                                    const std::vector<AddressConstant> &b);

// A number moved by `delta` and cut to `mask`, or a stack address moved by
// `delta`; anything else is known only when nothing moves it.
Value plus(const Value &v, int64_t delta, uint64_t mask);

// The stack the body has allocated below its entry stack pointer and what
// it stored there.
class Frame {
public:
    int64_t sp() const { return sp_; }
    // What lies below the new stack pointer is the platform's again.
    void move_sp(int64_t to);
    bool holds(int64_t offset, uint32_t size) const
    {
        return offset >= sp_ && offset + int64_t{size} <= 0;
    }
    void store(int64_t offset, uint32_t size, Value value);
    // What was stored at exactly these bytes, or Unknown.
    Value load(int64_t offset, uint32_t size) const;

private:
    struct Slot {
        int64_t offset;
        uint32_t size;
        Value value;
    };
    int64_t sp_ = 0;
    std::vector<Slot> slots_;
};

// The state one interpreter keeps, and the checks every processor applies
// the same way.  A processor's interpreter derives from it.
class Machine {
protected:
    Machine(const MappedImage &image, uint32_t start) : image_(image), start_(start) {}
    virtual ~Machine() = default;

    virtual std::string register_name(unsigned reg) const = 0;

    uint8_t u8(uint32_t rva) const;
    uint32_t u32(uint32_t rva) const;
    uint64_t u64(uint32_t rva) const;

    // An immediate of `size` bytes at `rva` in the body: an address
    // constant if it points into the image, kept whether or not the result
    // comes from it (the loader relocates it all the same).
    Value immediate(uint64_t value, uint32_t rva, uint32_t size);
    // An address relative to the instruction: no relocation needed.
    Value relative(uint32_t rva, int64_t delta) const;

    // A load or store the body makes; refused outside its own frame (and,
    // for loads, constants the image holds).
    Value load(uint32_t pc, const Value &address, uint32_t size);
    void store(uint32_t pc, const Value &address, uint32_t size, Value value);
    Value sp() const { return Value::stack(frame_.sp()); }
    void set_sp(uint32_t pc, const Value &value);

    // The return at `pc`: the stack back where it was and register `reg`
    // as the caller left it.
    void check_stack_at_return(uint32_t pc) const;
    void check_preserved(uint32_t pc, unsigned reg, const Value &value) const;
    // The returned address `result` (and `high`, a 32-bit body's EDX, when
    // it set one), the body ending just before `end`.
    DescriptorCall returned(uint32_t pc, uint32_t end, const std::string &name,
                            const Value &result, const Value *high = nullptr) const;

    std::string describe(const Value &v) const;
    [[noreturn]] void refuse(uint32_t pc, const std::string &expected,
                             const std::string &found) const;
    [[noreturn]] void too_long() const;
    // Up to `count` bytes from `pc`, as "bytes E8 00 00 00 00".
    std::string bytes_at(uint32_t pc, unsigned count) const;

    const MappedImage &image_;
    const uint32_t start_;

private:
    Value read_constant(uint32_t pc, const Value &address, uint32_t size);
    void check_frame(uint32_t pc, const Value &address, uint32_t size, const char *access) const;

    Frame frame_;
    std::vector<AddressConstant> held_;   // every address constant met, by RVA
};

DescriptorCall run_x86(const MappedImage &image, uint32_t start);
DescriptorCall run_x64(const MappedImage &image, uint32_t start);
DescriptorCall run_arm64(const MappedImage &image, uint32_t start);

}  // namespace wendol::accessor
