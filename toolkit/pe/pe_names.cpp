// pe_names.cpp - names of header values and flag bits.
#include "pe/pe_names.h"

#include "base/error.h"
#include "pe/pe_format.h"

namespace wendol {

namespace {

constexpr Flag kFileFlags[] = {
    {0x0001, "RELOCS_STRIPPED"}, {0x0002, "EXECUTABLE_IMAGE"},
    {0x0004, "LINE_NUMS_STRIPPED"}, {0x0008, "LOCAL_SYMS_STRIPPED"},
    {0x0020, "LARGE_ADDRESS_AWARE"}, {0x0100, "32BIT_MACHINE"},
    {0x0200, "DEBUG_STRIPPED"}, {0x1000, "SYSTEM"}, {0x2000, "DLL"},
};

constexpr Flag kDllFlags[] = {
    {0x0020, "HIGH_ENTROPY_VA"}, {0x0040, "DYNAMIC_BASE"}, {0x0080, "FORCE_INTEGRITY"},
    {0x0100, "NX_COMPAT"}, {0x0200, "NO_ISOLATION"}, {0x0400, "NO_SEH"},
    {0x0800, "NO_BIND"}, {0x1000, "APPCONTAINER"}, {0x2000, "WDM_DRIVER"},
    {0x4000, "GUARD_CF"}, {0x8000, "TERMINAL_SERVER_AWARE"},
};

constexpr Flag kSectionFlags[] = {
    {0x00000008, "TYPE_NO_PAD"}, {0x00000020, "CNT_CODE"},
    {0x00000040, "CNT_INITIALIZED_DATA"}, {0x00000080, "CNT_UNINITIALIZED_DATA"},
    {0x00000200, "LNK_INFO"}, {0x00000800, "LNK_REMOVE"}, {0x00001000, "LNK_COMDAT"},
    {0x00008000, "GPREL"}, {0x01000000, "LNK_NRELOC_OVFL"}, {0x02000000, "MEM_DISCARDABLE"},
    {0x04000000, "MEM_NOT_CACHED"}, {0x08000000, "MEM_NOT_PAGED"}, {0x10000000, "MEM_SHARED"},
    {0x20000000, "MEM_EXECUTE"}, {0x40000000, "MEM_READ"}, {0x80000000, "MEM_WRITE"},
};

constexpr uint32_t kSectionAlignMask = 0x00F00000;

}  // namespace

std::string flag_names(uint32_t flags, std::span<const Flag> known, int digits,
                       std::string_view separator)
{
    std::string out;
    auto add = [&](const std::string &name) {
        if (!out.empty())
            out += separator;
        out += name;
    };
    for (const Flag &f : known)
        if (flags & f.bit) {
            add(f.name);
            flags &= ~f.bit;
        }
    if (flags)
        add(hex(flags, digits));
    return out.empty() ? "0" : out;
}

std::string machine_name(uint16_t machine)
{
    const char *name = machine == pe::kMachineI386    ? "x86"
                       : machine == pe::kMachineAmd64 ? "x64"
                       : machine == pe::kMachineArm64 ? "Arm64"
                                                      : "unknown";
    return std::string(name) + " (" + hex(machine, 4) + ")";
}

std::string subsystem_name(uint16_t subsystem)
{
    const char *name = subsystem == 1   ? "native"
                       : subsystem == 2 ? "Windows GUI"
                       : subsystem == 3 ? "Windows console"
                                        : "other";
    return std::string(name) + " (" + std::to_string(subsystem) + ")";
}

std::string directory_name(unsigned index)
{
    constexpr const char *kNames[] = {
        "export", "import", "resource", "exception", "certificate", "base relocation",
        "debug", "architecture", "global pointer", "TLS", "load configuration",
        "bound import", "import address table", "delay import", "CLR runtime", "reserved",
    };
    return index < std::size(kNames) ? kNames[index] : "directory " + std::to_string(index);
}

std::string relocation_type_name(uint16_t type)
{
    switch (type) {
    case pe::kRelAbsolute:
        return "ABSOLUTE";
    case pe::kRelHigh:
        return "HIGH";
    case pe::kRelLow:
        return "LOW";
    case pe::kRelHighLow:
        return "HIGHLOW";
    case pe::kRelDir64:
        return "DIR64";
    default:
        return "type " + std::to_string(type);
    }
}

std::string file_characteristics_names(uint16_t flags)
{
    return flag_names(flags, kFileFlags, 4);
}

std::string dll_characteristics_names(uint16_t flags)
{
    return flag_names(flags, kDllFlags, 4);
}

std::string section_characteristics_names(uint32_t flags)
{
    std::string out = flag_names(flags & ~kSectionAlignMask, kSectionFlags, 8);
    if (const uint32_t align = (flags & kSectionAlignMask) >> 20) {
        const std::string text = "ALIGN_" + std::to_string(1u << (align - 1)) + "BYTES";
        out = out == "0" ? text : out + " | " + text;
    }
    return out;
}

}  // namespace wendol
