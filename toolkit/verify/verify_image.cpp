// verify_image.cpp - the image around the tables: what the loader reads
// before it hands the platform the root record, and the relocations that
// keep every stored pointer right wherever the image is mapped.
#include <algorithm>
#include <map>
#include <set>

#include "base/error.h"
#include "pe/pe_format.h"
#include "pe/pe_names.h"
#include "pe/sections.h"
#include "tables/table_extents.h"
#include "verify/verify.h"

namespace wendol {

namespace {

constexpr const char *kDescriptor = "KbdLayerDescriptor";
// East Asian layouts export their NLS tables' accessor beside it.
constexpr const char *kNlsDescriptor = "KbdNlsLayerDescriptor";

Place section_place(const Section &s)
{
    return rva_place(s.virtual_address, "section " + s.name);
}

void check_dll(const Headers &h, Findings &findings)
{
    if (!(h.file_characteristics & pe::kFileDll))
        findings.error(Check::Image, named("file header Characteristics"), "the DLL flag (0x2000)",
                       file_characteristics_names(h.file_characteristics));
}

// The loader copies each section's file data; two that share bytes, or one
// that reaches into the headers, are not what any linker writes.
void check_section_data(const PeFile &file, Findings &findings)
{
    const auto &sections = file.sections();
    const uint32_t headers = file.headers().size_of_headers;
    for (size_t i = 0; i < sections.size(); ++i) {
        const Section &s = sections[i];
        if (s.raw_size == 0)
            continue;
        const uint64_t end = uint64_t{s.raw_offset} + s.raw_size;
        // The loader copies what each header says wherever it lies: only a
        // warning.
        if (s.raw_offset < headers)
            findings.warning(Check::Sections, section_place(s),
                             "file data after the headers (" + hex(headers) + ")",
                             "file offset " + hex(s.raw_offset),
                             "only a warning, as the loader still copies it");
        for (size_t j = 0; j < i; ++j) {
            const Section &o = sections[j];
            if (o.raw_size != 0 && s.raw_offset < uint64_t{o.raw_offset} + o.raw_size &&
                o.raw_offset < end)
                findings.warning(Check::Sections, section_place(s),
                                 "file data apart from section " + o.name + "'s",
                                 "file offsets " + hex(s.raw_offset) + ".." + hex(end) +
                                     " overlapping it",
                                 "only a warning, as the loader copies each section's data "
                                 "on its own");
        }
    }
}

std::string directory_text(const DataDirectory &d)
{
    return hex(d.size) + " bytes at RVA " + hex(d.rva);
}

// An import directory that holds only the descriptor ending the list (GNU
// ld writes one for a module that imports nothing) imports nothing.  One the
// file does not hold is reported as it stands.
bool imports_something(const PeFile &file)
{
    try {
        return import_descriptor_count(file) != 0;
    } catch (const Error &) {
        return true;
    }
}

void check_no_code_at_load(const PeFile &file, Findings &findings)
{
    const Headers &h = file.headers();
    if (h.entry_point != 0)
        findings.error(Check::Image, named("optional header AddressOfEntryPoint"),
                       "0 (a layout runs no code when it is loaded)", hex(h.entry_point));
    // Imports bring code in with them; TLS callbacks run at load.
    if (imports_something(file))
        findings.error(Check::Image, named(directory_name(pe::kDirImport) + " directory"),
                       "no imports",
                       directory_text(h.directories[pe::kDirImport]));
    constexpr std::pair<unsigned, const char *> kNone[] = {
        {pe::kDirTls, "no TLS callbacks"}, {pe::kDirDelayImport, "no delay-load imports"}};
    for (const auto &[index, expected] : kNone)
        if (index < h.directories.size() && h.directories[index].size != 0)
            findings.error(Check::Image, named(directory_name(index) + " directory"), expected,
                           directory_text(h.directories[index]));
}

void check_exports(const PeFile &file, Findings &findings)
{
    const auto &exports = file.exports();
    const auto descriptor = std::find_if(exports.begin(), exports.end(),
                                         [](const Export &e) { return e.name == kDescriptor; });
    if (descriptor == exports.end()) {
        findings.error(Check::Exports, named("export directory"),
                       std::string("an export named ") + kDescriptor,
                       exports.empty() ? std::string("no exports")
                                       : std::to_string(exports.size()) + " exports without it");
        return;
    }
    // The platform may ask for the accessor by its ordinal.
    if (descriptor->ordinal != 1)
        findings.error(Check::Exports, rva_place(descriptor->rva, kDescriptor),
                       "ordinal 1 (ordinal base " + std::to_string(file.export_ordinal_base()) +
                           ")",
                       "ordinal " + std::to_string(descriptor->ordinal));
    for (const Export &e : exports)
        if (e.name == kNlsDescriptor)
            findings.note(Check::Exports, rva_place(e.rva, e.name),
                          "NLS tables",
                          "the engine models neither their key state machine nor the IME "
                          "keys, so what it types is not the whole truth");
        else if (&e != &*descriptor)
            findings.warning(Check::Exports, rva_place(e.rva, e.name.empty() ? "no name" : e.name),
                             std::string(kDescriptor) + " as the only export",
                             "ordinal " + std::to_string(e.ordinal) + " besides it",
                             std::string("only a warning, as the platform asks for ") +
                                 kDescriptor + " alone");
}

void check_relocation_types(const PeFile &file, Findings &findings)
{
    const bool plus = file.headers().pe32_plus;
    const uint16_t wanted = plus ? pe::kRelDir64 : pe::kRelHighLow;
    for (const BaseRelocation &r : file.relocations())
        if (r.type != wanted)
            findings.error(Check::Relocations, rva_place(r.rva, "base relocation"),
                           relocation_type_name(wanted) +
                               (plus ? " in a PE32+ image" : " in a PE32 image"),
                           relocation_type_name(r.type));
}

// The platform does not check a layout's checksum: a zero or a stale one
// departs from convention only.
void check_checksum(const PeFile &file, Findings &findings)
{
    const Headers &h = file.headers();
    const uint32_t computed = file.computed_checksum();
    if (h.checksum == computed)
        return;
    Place place = named("optional header CheckSum");
    place.file_offset = h.checksum_offset;
    findings.warning(Check::Checksum, std::move(place),
                     hex(computed, 8) + " as computed over the file",
                     hex(h.checksum, 8) + (h.checksum == 0 ? " (the linker's default)" : ""),
                     "only a warning, as the platform does not check a layout's checksum");
}

}  // namespace

void verify_file_shape(const PeFile &file, Findings &findings)
{
    check_dll(file.headers(), findings);
    check_section_data(file, findings);
    check_no_code_at_load(file, findings);
    check_exports(file, findings);
    check_relocation_types(file, findings);
    check_checksum(file, findings);
}

namespace {

// The tables' bytes and the accessor's body: what the platform reads or runs.
std::vector<Extent> layout_extents(const DescriptorCall &call, const LayoutTables &tables)
{
    std::vector<Extent> extents = table_extents(tables);
    extents.push_back({call.body_rva, call.body_size, "KbdLayerDescriptor body",
                       Extent::Kind::Record});
    return extents;
}

const Extent *extent_holding(const std::vector<Extent> &extents, uint32_t rva)
{
    for (const Extent &e : extents)
        if (rva >= e.rva && rva < e.end())
            return &e;
    return nullptr;
}

void check_table_sections(const PeFile &file, const std::vector<Extent> &extents,
                          const DescriptorCall &call, Findings &findings)
{
    std::map<const Section *, const Extent *> holding;   // each section, its first table
    for (const Extent &e : extents)
        if (const Section *s = section_holding(file.sections(), e.rva, 1))
            holding.emplace(s, &e);
    for (const auto &[s, e] : holding)
        if (s->characteristics & pe::kScnMemWrite)
            findings.warning(Check::Sections, section_place(*s),
                             "a section the platform cannot write, as it holds " + e->what,
                             section_characteristics_names(s->characteristics),
                             "only a warning, as the tables still read the same");
    const Section *code = section_holding(file.sections(), call.body_rva, 1);
    if (code && !(code->characteristics & pe::kScnMemExecute))
        findings.error(Check::Sections, section_place(*code),
                       "an executable section, as it holds KbdLayerDescriptor's body",
                       section_characteristics_names(code->characteristics));
}

class RelocationCheck {
public:
    RelocationCheck(const PeFile &file, const LayoutTables &tables, Findings &findings)
        : findings_(findings), field_size_(pointer_size(tables.form))
    {
        for (const BaseRelocation &r : file.relocations())
            ++count_[r.rva];
    }

    // A non-null pointer is relocated on its low half (the whole of it in a
    // 64-bit image); a null pointer is not relocated at all.
    void pointer(const PointerField &p)
    {
        explain(p.field_rva);
        const Place place = rva_place(p.field_rva, p.label());
        if (p.value != 0 && !count_.count(p.field_rva))
            findings_.error(Check::Relocations, place,
                            "a base relocation on the pointer, so that it follows the image",
                            "none: at any other base it points at " + hex(p.value));
        if (p.value == 0 && count_.count(p.field_rva))
            findings_.error(Check::Relocations, place,
                            "no relocation on a null pointer (relocated, it is no longer null)",
                            "one");
        for (uint32_t at = p.field_rva + 1; at < p.field_rva + field_size_; ++at) {
            if (!count_.count(at))
                continue;
            explain(at);
            findings_.error(Check::Relocations, rva_place(at, p.label() + ", byte " +
                                                             std::to_string(at - p.field_rva)),
                            p.value ? "a relocation on the pointer's low half only"
                                    : "no relocation on a null pointer",
                            "one inside the field");
        }
    }

    // Every address the accessor's result is computed from (a compiler may
    // write the address twice, or read it from a pointer in the image).
    void constant(const DescriptorCall &call)
    {
        for (const AddressConstant &c : call.constants) {
            explain(c.rva);
            if (!count_.count(c.rva))
                findings_.error(Check::Relocations, rva_place(c.rva, "KbdLayerDescriptor body"),
                                "a base relocation on the root record's address",
                                "none: at any other base the accessor returns " +
                                    hex(call.value & 0xFFFFFFFFu));
        }
    }

    // What is left: relocations inside the tables that patch no pointer, and
    // any place relocated twice.
    void rest(const std::vector<Extent> &extents)
    {
        for (const auto &[rva, count] : count_) {
            if (count > 1)
                findings_.error(Check::Relocations, rva_place(rva, "base relocation"),
                                "one relocation per place", std::to_string(count));
            if (explained_.count(rva))
                continue;
            if (const Extent *e = extent_holding(extents, rva))
                findings_.error(Check::Relocations, rva_place(rva, e->what),
                                "relocations in the tables only on stored pointers",
                                "one on a byte that holds no pointer");
        }
    }

private:
    void explain(uint32_t rva) { explained_.insert(rva); }

    Findings &findings_;
    uint32_t field_size_;
    std::map<uint32_t, size_t> count_;
    std::set<uint32_t> explained_;
};

// With 64-bit pointer fields the platform takes the accessor's result as a
// 64-bit pointer: a 32-bit body returns it in EDX:EAX, the address in EAX
// and EDX its extension.  One that leaves EDX as it found it returns
// whatever the caller had there in the high half.  With 32-bit pointers the
// result is EAX alone.
void check_accessor_result(const DescriptorCall &call, const LayoutTables &tables,
                           Findings &findings)
{
    if (tables.form != PointerForm::Wow64)
        return;
    const auto low = static_cast<uint32_t>(call.value);
    const auto high = static_cast<uint32_t>(call.value >> 32);
    const uint32_t sign = (low & 0x80000000u) ? 0xFFFFFFFFu : 0;
    const Place place = rva_place(call.body_rva, "KbdLayerDescriptor body");
    const std::string expected = "a 64-bit result: the address in EAX and its extension in EDX";
    if (!call.high_half_set)
        findings.error(Check::Accessor, place, expected,
                       "the address in EAX alone, EDX holding " + call.high_half +
                           " at the return, as a function returning a 32-bit pointer leaves it");
    else if (high != 0 && high != sign)
        findings.error(Check::Accessor, place, expected,
                       "EDX holding " + hex(high) + ", which extends no address in EAX (" +
                           hex(low) + ")");
}

}  // namespace

void verify_table_image(const MappedImage &image, const DescriptorCall &call,
                        const LayoutTables &tables, Findings &findings)
{
    const std::vector<Extent> extents = layout_extents(call, tables);
    check_accessor_result(call, tables, findings);
    check_table_sections(image.file(), extents, call, findings);
    RelocationCheck relocations(image.file(), tables, findings);
    for (const PointerField &p : tables.pointers)
        relocations.pointer(p);
    relocations.constant(call);
    relocations.rest(extents);
}

}  // namespace wendol
