// test_descriptor_call.cpp - the accessor as compilers write it: the test
// layouts' accessors (clang, optimised, unoptimised, with a frame, spilling
// to it) read in every pointer form at several bases, then hand-written
// bodies in the forms MSVC and GCC write, and bodies that do more than
// return an address, which are refused.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <random>

#include "pe/pe_format.h"
#include "support/image_helpers.h"
#include "tables/descriptor_call.h"
#include "tables/tables.h"

namespace wendol {
namespace {

using Bytes = std::vector<uint8_t>;
using test::error_of;

bool is_32bit(const std::string &variant)
{
    return variant == "x86" || variant == "wow64";
}

// Bases the loader might choose: the preferred one, one below 2 GB, and
// one above it (where a 32-bit address sign-extends into EDX).
std::vector<uint64_t> bases_for(const PeFile &file)
{
    if (!file.headers().pe32_plus)
        return {file.headers().image_base, 0x00400000, 0x90000000};
    return {file.headers().image_base, 0x10000000, 0x7FF612340000};
}

// ---------------------------------------------------------------------------
// The test layouts, as the compiler wrote them.

struct Build {
    const char *layout;
    const char *variant;
    friend void PrintTo(const Build &b, std::ostream *out) { *out << b.layout << "." << b.variant; }
};

class CompiledAccessor : public ::testing::TestWithParam<Build> {
protected:
    std::string path() const { return test::test_layout(GetParam().layout, GetParam().variant); }
    Bytes bytes() const { return test::read_bytes(path()); }
};

TEST_P(CompiledAccessor, ReturnsTheRootRecordWhereverTheImageIsMapped)
{
    const Bytes file = bytes();
    const PeFile pe(file);
    const bool narrow = is_32bit(GetParam().variant);
    for (const uint64_t base : bases_for(pe)) {
        SCOPED_TRACE("mapped at " + hex(base));
        const MappedImage image = test::map_bytes(file, base);
        const DescriptorCall call = call_descriptor(image);
        const LayoutTables tables = read_tables(image, call);
        const uint64_t root = base + tables.root_rva;
        if (narrow) {
            // EAX the address, EDX its sign, as the C accessor returns it.
            EXPECT_EQ(call.value & 0xFFFFFFFFu, root);
            EXPECT_EQ(call.value >> 32, (root & 0x80000000u) ? 0xFFFFFFFFu : 0u);
        } else {
            EXPECT_EQ(call.value, root);
        }
        EXPECT_EQ(tables.scan_map.size(), 0x3Au);
    }
}

// Each address the body holds carries a base relocation of the image's
// kind; nothing else in the body does.
TEST_P(CompiledAccessor, EveryAddressItHoldsIsRelocated)
{
    const MappedImage image = test::map_bytes(bytes());
    const DescriptorCall call = call_descriptor(image);
    const bool plus = image.file().headers().pe32_plus;
    std::map<uint32_t, uint16_t> relocations;
    for (const BaseRelocation &r : image.file().relocations())
        relocations.emplace(r.rva, r.type);
    for (const AddressConstant &c : call.constants) {
        SCOPED_TRACE("constant at " + hex(c.rva));
        ASSERT_TRUE(relocations.count(c.rva));
        EXPECT_EQ(relocations[c.rva], plus ? pe::kRelDir64 : pe::kRelHighLow);
        EXPECT_EQ(c.size, plus ? 8u : 4u);
    }
    for (const auto &[rva, type] : relocations) {
        if (rva < call.body_rva || rva >= call.body_rva + call.body_size)
            continue;
        const auto held = std::find_if(call.constants.begin(), call.constants.end(),
                                       [&](const AddressConstant &c) { return c.rva == rva; });
        EXPECT_NE(held, call.constants.end())
            << "a relocation in the body the interpreter did not account for at " << hex(rva);
    }
    EXPECT_EQ(call.has_constant, !call.constants.empty());
}

// Whatever the compiler made of the accessor, the tables it leads to are
// the ones the optimised build of the same sources leads to.
TEST_P(CompiledAccessor, LeadsToTheSameTablesAsTheOptimisedBuild)
{
    const LayoutTables theirs = read_tables(test::map_bytes(bytes()));
    const LayoutTables ours = read_tables(
        test::map_bytes(test::read_bytes(test::test_layout("minimal", GetParam().variant))));
    EXPECT_EQ(theirs.form, ours.form);
    EXPECT_EQ(theirs.scan_map, ours.scan_map);
    ASSERT_EQ(theirs.char_tables.size(), 1u);
    ASSERT_EQ(theirs.char_tables[0].rows.size(), ours.char_tables[0].rows.size());
    for (size_t r = 0; r < ours.char_tables[0].rows.size(); ++r)
        EXPECT_EQ(theirs.char_tables[0].rows[r].cells, ours.char_tables[0].rows[r].cells);
    EXPECT_EQ(theirs.dead_keys.size(), ours.dead_keys.size());
    EXPECT_EQ(theirs.dead_key_names, ours.dead_key_names);
    EXPECT_EQ(theirs.key_names.size(), ours.key_names.size());
}

std::vector<Build> all_builds()
{
    std::vector<Build> out;
    for (const char *layout : {"minimal", "minimal_o0", "minimal_frame", "minimal_spill"})
        for (const char *variant : {"x86", "wow64", "x64", "arm64"})
            out.push_back({layout, variant});
    return out;
}

INSTANTIATE_TEST_SUITE_P(TestLayouts, CompiledAccessor, ::testing::ValuesIn(all_builds()),
                         [](const auto &test_info) {
                             return std::string(test_info.param.layout) + "_" +
                                    test_info.param.variant;
                         });

// The builds really are in the forms they stand for: had the compiler
// written the same short body for all, the tests above would prove less.
TEST(CompiledAccessor, TheBuildsDifferInTheFormsTheyStandFor)
{
    auto body = [](const char *layout, const char *variant) {
        const MappedImage image =
            test::map_bytes(test::read_bytes(test::test_layout(layout, variant)));
        const DescriptorCall call = call_descriptor(image);
        const auto span = image.bytes(call.body_rva, call.body_size, "body");
        return Bytes(span.begin(), span.end());
    };
    for (const char *variant : {"x86", "wow64"}) {
        SCOPED_TRACE(variant);
        const Bytes frame = body("minimal_o0", variant);
        ASSERT_GE(frame.size(), 3u);
        EXPECT_EQ(Bytes(frame.begin(), frame.begin() + 3),
                  (Bytes{0x55, 0x89, 0xE5}));   // push ebp; mov ebp, esp
        EXPECT_EQ(body("minimal_frame", variant).front(), 0x55);
        // The optimised one writes the address twice: EDX's sign, then EAX.
        EXPECT_EQ(body("minimal", variant).front(), 0xBA);
    }
    EXPECT_EQ(body("minimal_frame", "x64").front(), 0x55);   // push rbp
    const Bytes arm = body("minimal_frame", "arm64");
    // stp x29, x30 (in either order), [sp, #-16]!
    EXPECT_EQ(arm[3], 0xA9);
    EXPECT_EQ(arm[2], 0xBF);
    for (const char *variant : {"x86", "wow64", "x64", "arm64"})
        EXPECT_GT(body("minimal_spill", variant).size(), body("minimal_frame", variant).size())
            << variant << ": the spilled local adds a store and a load";
}

// ---------------------------------------------------------------------------
// Hand-written bodies: the forms a clang build here does not produce.

Bytes le32(uint64_t v)
{
    Bytes out;
    for (unsigned i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return out;
}

Bytes le64(uint64_t v)
{
    Bytes out = le32(v);
    const Bytes high = le32(v >> 32);
    out.insert(out.end(), high.begin(), high.end());
    return out;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Where a hand-written body goes: over a test layout's scan-code map, which
// holds no pointer, so no relocation touches it wherever the image is
// mapped.  The body is written for the base it is mapped at.
class Scratch {
public:
    Scratch(const std::string &variant, uint64_t base)
        : base_(base), file_(test::read_bytes(test::test_layout("minimal", variant)))
    {
        const LayoutTables tables = read_tables(test::map_bytes(file_));
        root_rva_ = tables.root_rva;
        uint32_t map = 0;
        for (const PointerField &p : tables.pointers)
            if (p.id.slot == PointerSlot::VscToVk)
                map = p.target_rva;
        // 8-aligned, as Arm64 code and the pointers it loads are.
        rva_ = (map + 7) & ~7u;
        capacity_ = static_cast<uint32_t>(map + tables.scan_map.size() * 2 - rva_);
    }

    uint64_t code() const { return base_ + rva_; }        // where the body starts
    uint64_t root() const { return base_ + root_rva_; }   // an address to return
    uint32_t rva_at(uint64_t address) const { return static_cast<uint32_t>(address - base_); }

    DescriptorCall run(const Bytes &body) const { return call_function(map(body), rva_); }

    std::optional<std::string> refusal(const Bytes &body) const
    {
        const MappedImage image = map(body);
        return error_of([&] { call_function(image, rva_); });
    }

private:
    MappedImage map(const Bytes &body) const
    {
        if (body.size() > capacity_)
            throw std::runtime_error("a body of " + std::to_string(body.size()) +
                                     " bytes does not fit the scratch space");
        Bytes bytes = file_;
        std::copy(body.begin(), body.end(), bytes.begin() + test::file_offset(bytes, rva_));
        return test::map_bytes(bytes, base_);
    }

    uint64_t base_;
    Bytes file_;
    uint32_t rva_ = 0, root_rva_ = 0, capacity_ = 0;
};

struct Form {
    const char *name;
    std::function<Bytes(const Scratch &)> body;
    std::function<uint64_t(uint64_t root)> value;   // what the call returns
    size_t constants;                               // address constants the body holds or reads
    bool high_half_set = true;                      // a 32-bit body sets EDX
};

uint64_t zero_extended(uint64_t root)
{
    return root & 0xFFFFFFFFu;
}

uint64_t sign_extended(uint64_t root)
{
    return static_cast<uint64_t>(int64_t{static_cast<int32_t>(static_cast<uint32_t>(root))});
}

void expect_forms(const std::string &variant, uint64_t base, const std::vector<Form> &forms)
{
    const Scratch s(variant, base);
    for (const Form &f : forms) {
        SCOPED_TRACE(f.name);
        const Bytes body = f.body(s);
        const DescriptorCall call = s.run(body);
        EXPECT_EQ(call.value, f.value(s.root()));
        EXPECT_EQ(call.constants.size(), f.constants);
        EXPECT_EQ(call.has_constant, f.constants != 0);
        EXPECT_LE(call.body_size, body.size());
        EXPECT_EQ(call.high_half_set, f.high_half_set) << call.high_half;
    }
}

TEST(HandWrittenAccessor, X86FormsOfMsvcAndGcc)
{
    // Mapped above 2 GB, so that sign and zero extension differ.
    expect_forms(
        "x86", 0x90000000,
        {
            {"MSVC /Od: frame through mov ebp, esp (8B EC), ret",
             [](const Scratch &s) {
                 return join({{0x55, 0x8B, 0xEC, 0xB8}, le32(s.root()), {0x5D, 0xC3}});
             },
             zero_extended, 1, false},
            {"mov eax, imm32; ret: EDX as the caller left it",
             [](const Scratch &s) { return join({{0xB8}, le32(s.root()), {0xC3}}); },
             zero_extended, 1, false},
            {"MSVC /O2: mov eax, imm32; cdq; ret",
             [](const Scratch &s) {
                 return join({{0xB8}, le32(s.root()), {0x99, 0xC3}});
             },
             sign_extended, 1},
            {"MSVC hot-patchable: mov edi, edi first",
             [](const Scratch &s) {
                 return join(
                     {{0x8B, 0xFF, 0x55, 0x8B, 0xEC, 0xB8}, le32(s.root()), {0x99, 0x5D, 0xC3}});
             },
             sign_extended, 1},
            {"MSVC /Od spilling through push ecx, mov esp, ebp",
             [](const Scratch &s) {
                 return join({{0x55, 0x8B, 0xEC, 0x51, 0xC7, 0x45, 0xFC},
                              le32(s.root()),
                              {0x8B, 0x45, 0xFC, 0x99, 0x8B, 0xE5, 0x5D, 0xC3}});
             },
             sign_extended, 1},
            {"GCC -O0: sub esp, the local, leave",
             [](const Scratch &s) {
                 return join({{0x55, 0x89, 0xE5, 0x83, 0xEC, 0x10, 0xC7, 0x45, 0xFC},
                              le32(s.root()),
                              {0x8B, 0x45, 0xFC, 0x99, 0xC9, 0xC3}});
             },
             sign_extended, 1},
            {"GCC -O2: zero-extended by xor edx, edx",
             [](const Scratch &s) {
                 return join({{0xB8}, le32(s.root()), {0x31, 0xD2, 0xC3}});
             },
             zero_extended, 1},
            {"mov edx, 0 and lea eax, [imm32]; ret 0",
             [](const Scratch &s) {
                 return join({{0xBA, 0, 0, 0, 0, 0x8D, 0x05}, le32(s.root()), {0xC2, 0, 0}});
             },
             zero_extended, 1},
            {"mov edx, eax; sar edx, 31 and padding after the return",
             [](const Scratch &s) {
                 return join({{0xB8},
                              le32(s.root()),
                              {0x89, 0xC2, 0xC1, 0xFA, 0x1F, 0xC3, 0xCC, 0xCC, 0x90}});
             },
             sign_extended, 1},
            {"a pointer the image holds (clang for MinGW: mov eax, [.refptr])",
             [](const Scratch &s) {
                 // the pointer sits right after the body
                 return join({{0xA1}, le32(s.code() + 8), {0x99, 0xC3, 0x90}, le32(s.root())});
             },
             sign_extended, 2},
        });
}

TEST(HandWrittenAccessor, X64FormsOfMsvcAndGcc)
{
    auto rip = [](const Scratch &s, uint64_t next, uint64_t target) {
        return le32(target - (s.code() + next));
    };
    const auto same = [](uint64_t root) { return root; };
    expect_forms(
        "x64", 0x7FF612340000,
        {
            {"movabs rax, imm64 (relocated DIR64)",
             [](const Scratch &s) {
                 return join({{0x48, 0xB8}, le64(s.root()), {0xC3}});
             },
             same, 1},
            {"MSVC: sub rsp, 28h around the lea",
             [&](const Scratch &s) {
                 return join({{0x48, 0x83, 0xEC, 0x28, 0x48, 0x8D, 0x05},
                              rip(s, 11, s.root()),
                              {0x48, 0x83, 0xC4, 0x28, 0xC3}});
             },
             same, 0},
            {"GCC -O0: frame through mov rbp, rsp (48 8B EC), a spill below it",
             [&](const Scratch &s) {
                 return join({{0x55, 0x48, 0x8B, 0xEC, 0x48, 0x83, 0xEC, 0x10, 0x48, 0x8D, 0x05},
                              rip(s, 15, s.root()),
                              {0x48, 0x89, 0x45, 0xF8, 0x48, 0x8B, 0x45, 0xF8, 0x48, 0x89, 0xEC,
                               0x5D, 0xC3}});
             },
             same, 0},
            {"a pointer the image holds (MinGW: mov rax, [rip+.refptr])",
             [&](const Scratch &s) {
                 return join({{0x48, 0x8B, 0x05}, rip(s, 7, s.code() + 8), {0xC3}, le64(s.root())});
             },
             same, 1},
            {"endbr64 first (-fcf-protection)",
             [&](const Scratch &s) {
                 return join(
                     {{0xF3, 0x0F, 0x1E, 0xFA, 0x48, 0x8D, 0x05}, rip(s, 11, s.root()), {0xC3}});
             },
             same, 0},
            {"a callee-saved register pushed and popped",
             [&](const Scratch &s) {
                 return join({{0x53, 0x48, 0x8D, 0x05}, rip(s, 8, s.root()), {0x5B, 0xC3}});
             },
             same, 0},
        });
    // mov eax, imm32: only an image below 4 GB can be addressed so.
    expect_forms("x64", 0x10000000,
                 {
                     {"mov eax, imm32 (zero-extended to RAX)",
                      [](const Scratch &s) {
                          return join({{0xB8}, le32(s.root()), {0xC3}});
                      },
                      zero_extended, 1},
                     {"mov rax, imm32 (C7 C0, sign-extended)",
                      [](const Scratch &s) {
                          return join({{0x48, 0xC7, 0xC0}, le32(s.root()), {0xC3}});
                      },
                      zero_extended, 1},
                 });
}

// Arm64 encodings, written out by field.
uint32_t adrp(unsigned rd, uint64_t pc, uint64_t target)
{
    const uint64_t pages = (target >> 12) - (pc >> 12);
    return 0x90000000u | static_cast<uint32_t>(pages & 3) << 29 |
           static_cast<uint32_t>((pages >> 2) & 0x7FFFF) << 5 | rd;
}

uint32_t add_lo12(unsigned rd, unsigned rn, uint64_t target)
{
    return 0x91000000u | static_cast<uint32_t>(target & 0xFFF) << 10 | rn << 5 | rd;
}

uint32_t adr(unsigned rd, uint64_t pc, uint64_t target)
{
    const uint64_t d = target - pc;
    return 0x10000000u | static_cast<uint32_t>(d & 3) << 29 |
           static_cast<uint32_t>((d >> 2) & 0x7FFFF) << 5 | rd;
}

uint32_t ldr_literal(unsigned rt, uint64_t pc, uint64_t literal)
{
    return 0x58000000u | static_cast<uint32_t>(((literal - pc) / 4) & 0x7FFFF) << 5 | rt;
}

uint32_t ldr_lo12(unsigned rt, unsigned rn, uint64_t target)
{
    return 0xF9400000u | static_cast<uint32_t>((target & 0xFFF) / 8) << 10 | rn << 5 | rt;
}

constexpr uint32_t kRet = 0xD65F03C0;
constexpr uint32_t kStpFpLrPush = 0xA9BF7BFD;   // stp x29, x30, [sp, #-16]!
constexpr uint32_t kMovFpSp = 0x910003FD;       // mov x29, sp
constexpr uint32_t kLdpFpLrPop = 0xA8C17BFD;    // ldp x29, x30, [sp], #16
constexpr uint32_t kSubSp16 = 0xD10043FF;
constexpr uint32_t kAddSp16 = 0x910043FF;
constexpr uint32_t kNop = 0xD503201F;

// The instructions, at the scratch space; `at(i)` is instruction i's address.
Bytes arm(const Scratch &s,
          const std::function<std::vector<uint32_t>(std::function<uint64_t(unsigned)>)> &write)
{
    const auto at = [&](unsigned i) { return s.code() + 4 * i; };
    Bytes out;
    for (const uint32_t insn : write(at)) {
        const Bytes b = le32(insn);
        out.insert(out.end(), b.begin(), b.end());
    }
    return out;
}

TEST(HandWrittenAccessor, Arm64FormsOfMsvcAndGcc)
{
    const auto same = [](uint64_t root) { return root; };
    const auto low = [](uint64_t v) { return static_cast<uint32_t>(v); };
    const auto high = [](uint64_t v) { return static_cast<uint32_t>(v >> 32); };
    expect_forms(
        "arm64", 0x7FF612340000,
        {
            {"MSVC /Od: through x8",
             [](const Scratch &s) {
                 return arm(s, [&](auto at) {
                     return std::vector<uint32_t>{adrp(8, at(0), s.root()),
                                                  add_lo12(0, 8, s.root()), kRet};
                 });
             },
             same, 0},
            {"GCC: stp x29, x30 frame, mov x29, sp",
             [](const Scratch &s) {
                 return arm(s, [&](auto at) {
                     return std::vector<uint32_t>{
                         kStpFpLrPush, kMovFpSp, adrp(0, at(2), s.root()), add_lo12(0, 0, s.root()),
                         kLdpFpLrPop,  kRet};
                 });
             },
             same, 0},
            {"bti c first (-mbranch-protection)",
             [](const Scratch &s) {
                 return arm(s, [&](auto at) {
                     return std::vector<uint32_t>{0xD503245F, adrp(0, at(1), s.root()),
                                                  add_lo12(0, 0, s.root()), kRet};
                 });
             },
             same, 0},
            {"adr x0 and a nop",
             [](const Scratch &s) {
                 return arm(s, [&](auto at) {
                     return std::vector<uint32_t>{kNop, adr(0, at(1), s.root()), kRet};
                 });
             },
             same, 0},
            {"ldr x0, =literal: the relocated word after the return",
             [&](const Scratch &s) {
                 return arm(s, [&](auto at) {
                     return std::vector<uint32_t>{ldr_literal(0, at(0), at(2)), kRet, low(s.root()),
                                                  high(s.root())};
                 });
             },
             same, 1},
            {"adrp + ldr of a pointer the image holds (.refptr)",
             [&](const Scratch &s) {
                 return arm(s, [&](auto at) {
                     return std::vector<uint32_t>{
                         adrp(0, at(0), at(4)), ldr_lo12(0, 0, at(4)), kRet, kNop,
                         low(s.root()),         high(s.root())};
                 });
             },
             same, 1},
            {"a spill to its frame: sub sp, str, ldr, add sp",
             [](const Scratch &s) {
                 return arm(s, [&](auto at) {
                     return std::vector<uint32_t>{kSubSp16,
                                                  adrp(8, at(1), s.root()),
                                                  add_lo12(8, 8, s.root()),
                                                  0xF90007E8 /* str x8, [sp, #8] */,
                                                  0xF94007E0 /* ldr x0, [sp, #8] */,
                                                  kAddSp16,
                                                  kRet};
                 });
             },
             same, 0},
        });
}

// ---------------------------------------------------------------------------
// Bodies that do more than return an address.

struct Refusal {
    const char *name;
    std::function<Bytes(const Scratch &)> body;
    std::initializer_list<const char *> mentions;
};

void expect_refusals(const std::string &variant, uint64_t base, const std::vector<Refusal> &cases)
{
    const Scratch s(variant, base);
    for (const Refusal &c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> message = s.refusal(c.body(s));
        ASSERT_TRUE(message.has_value()) << "accepted";
        EXPECT_NE(message->find("expected"), std::string::npos) << *message;
        EXPECT_NE(message->find("found"), std::string::npos) << *message;
        for (const char *m : c.mentions)
            EXPECT_NE(message->find(m), std::string::npos) << "no \"" << m << "\" in: " << *message;
    }
}

TEST(RefusedAccessor, X86BodiesThatDoMore)
{
    auto fixed = [](Bytes b) { return [b](const Scratch &) { return b; }; };
    expect_refusals(
        "x86", 0x10000000,
        {
            {"a call", fixed({0xE8, 0, 0, 0, 0, 0xC3}), {"a call", "bytes E8 00 00 00 00 C3"}},
            {"an indirect call", fixed({0xFF, 0xD0, 0xC3}), {"a call"}},
            {"a branch", fixed({0x74, 0x00, 0xC3}), {"a branch", "bytes 74 00"}},
            {"a jump", fixed({0xEB, 0xFE}), {"a jump"}},
            {"a loop", fixed({0xE2, 0xFE, 0xC3}), {"a loop"}},
            {"a store to a global",
             [](const Scratch &s) {
                 return join({{0xB8}, le32(s.root()), {0x89, 0x05}, le32(s.root()), {0xC3}});
             },
             {"a store", "in its own stack frame", "a store at 0x"}},
            {"a store into the caller's frame, above the return address",
             [](const Scratch &s) {
                 return join(
                     {{0x55, 0x89, 0xE5, 0xB8}, le32(s.root()), {0x89, 0x45, 0x08, 0x5D, 0xC3}});
             },
             {"a store of 4 bytes at the entry stack pointer + 4", "the caller's"}},
            {"a store below the stack pointer",
             [](const Scratch &s) {
                 return join({{0xB8}, le32(s.root()), {0x89, 0x44, 0x24, 0xFC, 0xC3}});
             },
             {"below the stack pointer"}},
            {"a store over its return address",
             [](const Scratch &s) {
                 return join({{0xB8}, le32(s.root()), {0x89, 0x04, 0x24, 0xC3}});
             },
             {"at the entry stack pointer, the return address"}},
            {"a read of the caller's stack", fixed({0x8B, 0x44, 0x24, 0x04, 0xC3}), {"a load"}},
            {"a string store (rep stosd)", fixed({0xF3, 0xAB, 0xC3}), {"a string operation"}},
            {"ret 4: pops arguments it has not got",
             [](const Scratch &s) {
                 return join({{0xB8}, le32(s.root()), {0xC2, 0x04, 0x00}});
             },
             {"ret 4"}},
            {"a frame left open",
             [](const Scratch &s) {
                 return join({{0x55, 0xB8}, le32(s.root()), {0xC3}});
             },
             {"the stack pointer back at its entry value", "entry stack pointer - 4"}},
            {"EBX, callee-saved, clobbered",
             [](const Scratch &s) {
                 return join({{0xB8}, le32(s.root()), {0x31, 0xDB, 0xC3}});
             },
             {"EBX as the caller left it", "0x0"}},
            {"nothing loaded", fixed({0xC3}), {"EAX loaded before the return", "a return first"}},
            {"a result from an unwritten slot",
             fixed({0x55, 0x89, 0xE5, 0x83, 0xEC, 0x08, 0x8B, 0x45, 0xF8, 0xC9, 0xC3}),
             {"EAX holding a known address", "known only by running"}},
            {"a frame larger than a page",
             [](const Scratch &s) {
                 return join({{0x81, 0xEC, 0x00, 0x20, 0, 0, 0xB8},
                              le32(s.root()),
                              {0x81, 0xC4, 0x00, 0x20, 0, 0, 0xC3}});
             },
             {"a stack frame within 4096 bytes"}},
            {"no return", fixed(Bytes(40, 0x90)), {"a return within 32 instructions"}},
        });
}

TEST(RefusedAccessor, X64BodiesThatDoMore)
{
    auto fixed = [](Bytes b) { return [b](const Scratch &) { return b; }; };
    expect_refusals(
        "x64", 0x7FF612340000,
        {
            {"a call", fixed({0xE8, 0, 0, 0, 0, 0xC3}), {"a call"}},
            {"a call through memory", fixed({0xFF, 0x15, 0, 0, 0, 0, 0xC3}), {"a call"}},
            {"a syscall", fixed({0x0F, 0x05, 0xC3}), {"a system call"}},
            {"a store into its own code (rip-relative)",
             fixed({0x48, 0x89, 0x05, 0xF9, 0xFF, 0xFF, 0xFF, 0xC3}),
             {"a store at 0x"}},
            {"a store into the caller's home area (MSVC's spill of an argument)",
             fixed({0x48, 0x89, 0x4C, 0x24, 0x08, 0xC3}),
             {"at the entry stack pointer + 8", "the caller's"}},
            {"R12, callee-saved, clobbered",
             fixed({0x4D, 0x31, 0xE4, 0xC3}),
             {"R12 as the caller left it"}},
            {"an indexed load", fixed({0x48, 0x8B, 0x04, 0x08, 0xC3}), {"an indexed address"}},
        });
}

TEST(RefusedAccessor, Arm64BodiesThatDoMore)
{
    auto words = [](std::vector<uint32_t> w) {
        return [w](const Scratch &s) { return arm(s, [&](auto) { return w; }); };
    };
    expect_refusals(
        "arm64", 0x7FF612340000,
        {
            {"a call (bl)", words({0x94000002, kRet}), {"a call", "instruction 0x94000002"}},
            {"a call (blr x16)", words({0xD63F0200, kRet}), {"a call"}},
            {"a branch (b.eq)", words({0x54000040, kRet}), {"a branch"}},
            {"a system call", words({0xD4000001, kRet}), {"a system call"}},
            {"a store into the caller's frame",
             words({0xF9000BE0 /* str x0, [sp, #16] */, kRet}),
             {"a store of 8 bytes at the entry stack pointer + 16"}},
            {"a post-indexed push, stored at the caller's",
             words({0xA8BF7BFD /* stp x29, x30, [sp], #-16 */, kLdpFpLrPop, kRet}),
             {"a store of 8 bytes at the entry stack pointer, "}},
            {"a store through an unknown register",
             words({0xF9000020 /* str x0, [x1] */, kRet}),
             {"a store at the caller's X1"}},
            {"X19, callee-saved, clobbered",
             words({0xAA0003F3 /* mov x19, x0 */, kRet}),
             {"X19 as the caller left it"}},
            {"a return elsewhere",
             words({0xD65F0000 /* ret x0 */}),
             {"a return to the caller's X30"}},
            {"a stack left allocated",
             words({kSubSp16, kRet}),
             {"the stack pointer back at its entry value"}},
            {"nothing loaded", words({kRet}), {"X0 loaded before the return"}},
        });
}

// Whatever the body holds, the interpreter returns or throws Error; it
// never reads past the image or trips the sanitizers.  Random bodies, and
// the accepted forms with one byte changed, on every processor.
TEST(RefusedAccessor, NoBodyCrashesTheInterpreter)
{
    struct Case {
        const char *variant;
        uint64_t base;
    };
    std::mt19937 random(20240611);
    for (const Case c :
         {Case{"x86", 0x90000000}, Case{"x64", 0x7FF612340000}, Case{"arm64", 0x7FF612340000}}) {
        SCOPED_TRACE(c.variant);
        const Scratch s(c.variant, c.base);
        const Bytes seeds[] = {
            join({{0x55, 0x8B, 0xEC, 0x51, 0xC7, 0x45, 0xFC},
                  le32(s.root()),
                  {0x8B, 0x45, 0xFC, 0x99, 0x8B, 0xE5, 0x5D, 0xC3}}),
            join({{0x55, 0x48, 0x89, 0xE5, 0x48, 0x8B, 0x05, 0x10, 0, 0, 0, 0x5D, 0xC3}}),
            arm(s,
                [&](auto at) {
                    return std::vector<uint32_t>{kStpFpLrPush, kMovFpSp,   adrp(0, at(2), s.root()),
                                                 0xF90007E0,   0xF94007E0, kLdpFpLrPop,
                                                 kRet};
                }),
        };
        for (unsigned n = 0; n < 3000; ++n) {
            Bytes body;
            if (n % 2) {
                body = seeds[n % 3];
                body[random() % body.size()] = static_cast<uint8_t>(random());
            } else {
                body.resize(8 + random() % 48);
                for (uint8_t &b : body)
                    b = static_cast<uint8_t>(random());
            }
            try {
                s.run(body);
            } catch (const Error &) {
            }
        }
    }
}

}   // namespace
}   // namespace wendol
