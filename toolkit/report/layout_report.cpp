// layout_report.cpp - the image's shape: what the loader reads before the tables.
#include "report/layout_report.h"

#include "report/resources_print.h"

#include <map>

#include "base/error.h"
#include "base/text.h"
#include "pe/pe_format.h"
#include "pe/pe_names.h"
#include "pe/sections.h"

namespace wendol {

namespace {

void field(std::ostream &out, const std::string &name, const std::string &value)
{
    out << "  " << column_text(name, 22) << value << '\n';
}

std::string where(const PeFile &file, uint32_t rva)
{
    const Section *s = section_holding(file.sections(), rva, 1);
    return s ? "in " + s->name : rva < file.headers().size_of_headers ? "in the headers"
                                                                      : "outside every section";
}

void print_headers(std::ostream &out, const MappedImage &image)
{
    const PeFile &file = image.file();
    const Headers &h = file.headers();
    out << "Image (" << file.bytes().size() << " bytes)\n";
    field(out, "machine", machine_name(h.machine));
    field(out, "format", h.pe32_plus ? "PE32+" : "PE32");
    field(out, "file characteristics",
          file_characteristics_names(h.file_characteristics) + " (" +
              hex(h.file_characteristics, 4) + ")");
    field(out, "timestamp", hex(h.timestamp, 8));
    field(out, "image base", hex(h.image_base, 8) + ", mapped at " + hex(image.base(), 8));
    field(out, "subsystem", subsystem_name(h.subsystem) + ", version " +
                                std::to_string(h.subsystem_major) + "." +
                                std::to_string(h.subsystem_minor));
    field(out, "DLL characteristics",
          dll_characteristics_names(h.dll_characteristics) + " (" +
              hex(h.dll_characteristics, 4) + ")");
    field(out, "entry point",
          h.entry_point == 0 ? "none (0)" : hex(h.entry_point, 8) + " " + where(file, h.entry_point));
    field(out, "size of image", hex(h.size_of_image) + ", headers " + hex(h.size_of_headers));
    field(out, "alignment",
          "sections " + hex(h.section_alignment) + ", file " + hex(h.file_alignment));
    const uint32_t computed = file.computed_checksum();
    field(out, "checksum",
          "stored " + hex(h.checksum, 8) + ", computed " + hex(computed, 8) +
              (h.checksum == computed ? " (they agree)" : " (THEY DIFFER)"));
}

void print_sections(std::ostream &out, const PeFile &file)
{
    out << "\nSections (" << file.sections().size() << ")\n";
    out << "  name      RVA         virtual     file offset raw size    characteristics\n";
    for (const Section &s : file.sections())
        out << "  " << column_text(s.name, 10) << column_text(hex(s.virtual_address, 8), 12)
            << column_text(hex(s.virtual_size, 8), 12) << column_text(hex(s.raw_offset, 8), 12)
            << column_text(hex(s.raw_size, 8), 12) << section_characteristics_names(s.characteristics)
            << " (" << hex(s.characteristics, 8) << ")\n";
}

void print_directories(std::ostream &out, const PeFile &file)
{
    out << "\nData directories (" << file.headers().directories.size() << ")\n";
    const auto &dirs = file.headers().directories;
    for (unsigned i = 0; i < dirs.size(); ++i) {
        const DataDirectory &d = dirs[i];
        if (d.rva == 0 && d.size == 0) {
            if (i == pe::kDirImport)   // worth saying: a layout imports nothing
                field(out, directory_name(i), "none");
            continue;
        }
        const std::string place = i == pe::kDirSecurity ? "at file offset " + hex(d.rva, 8)
                                                         : hex(d.rva, 8) + " " + where(file, d.rva);
        field(out, directory_name(i), place + ", " + hex(d.size) + " bytes");
    }
}

void print_exports(std::ostream &out, const PeFile &file)
{
    out << "\nExports (" << file.exports().size() << ")\n";
    if (file.exports().empty())
        return;
    field(out, "module name", std::string("\"").append(file.export_module_name()).append("\""));
    field(out, "ordinal base", std::to_string(file.export_ordinal_base()));
    for (const Export &e : file.exports())
        out << "  ordinal " << column_text(std::to_string(e.ordinal), 4)
            << column_text(e.name.empty() ? "(no name)" : e.name, 24) << hex(e.rva, 8) << " "
            << where(file, e.rva) << '\n';
}

void print_relocation_summary(std::ostream &out, const PeFile &file)
{
    std::map<std::string, size_t> by_place;
    std::map<uint16_t, size_t> by_type;
    for (const BaseRelocation &r : file.relocations()) {
        ++by_place[where(file, r.rva)];
        ++by_type[r.type];
    }
    std::string summary;
    for (const auto &[type, count] : by_type)
        summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " +
                   relocation_type_name(type);
    for (const auto &[place, count] : by_place)
        summary += ", " + std::to_string(count) + " " + place;
    out << "\nBase relocations (" << file.relocations().size() << ")"
        << (summary.empty() ? "" : ": " + summary) << '\n';
}

}  // namespace

void print_image(std::ostream &out, const MappedImage &image)
{
    print_headers(out, image);
    print_sections(out, image.file());
    print_directories(out, image.file());
    print_exports(out, image.file());
    print_relocation_summary(out, image.file());
}

void inspect(std::ostream &out, const MappedImage &image)
{
    print_image(out, image);
    const DescriptorCall call = call_descriptor(image);
    const LayoutTables tables = read_tables(image, call);
    print_layout(out, image, call, tables);
    print_resources(out, image.file());
}

}  // namespace wendol
