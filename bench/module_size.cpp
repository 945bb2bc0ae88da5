// module_size.cpp - what each byte of a module is spent on: the headers,
// the tables, the accessor, the export directory, the resources and the
// relocations, against the file's size; the rest is alignment.
//
//   module_size FILE...     a Markdown table per file
#include <iostream>
#include <string>

#include "base/byte_view.h"
#include "base/error.h"
#include "pe/pe_format.h"
#include "pe/sections.h"
#include "tables/descriptor_call.h"
#include "tables/table_extents.h"
#include "tables/tables.h"

namespace wendol {
namespace {

// The headers as written: DOS header and stub, PE headers, section table.
uint64_t header_bytes(const PeFile &file)
{
    const ByteView bytes(file.bytes(), "file offset", "the file");
    const uint32_t nt = bytes.u32(pe::kDosNtOffsetField, "e_lfanew");
    const uint16_t optional = bytes.u16(nt + 4 + 16, "SizeOfOptionalHeader");
    return nt + 4 + pe::kFileHeaderSize + optional +
           uint64_t{pe::kSectionHeaderSize} * file.sections().size();
}

void row(std::ostream &out, const std::string &what, uint64_t bytes, const std::string &note = "")
{
    out << "| " << what << " | " << bytes << " | " << note << " |\n";
}

void report(std::ostream &out, const std::string &path)
{
    PeFile read = PeFile::read(path);
    const uint64_t base = read.headers().image_base;
    const MappedImage image(std::move(read), base);
    const PeFile &file = image.file();
    const LayoutTables tables = read_tables(image);
    const DescriptorCall call = call_descriptor(image);

    const uint64_t headers = header_bytes(file);
    const uint64_t table_bytes = covered_bytes(table_extents(tables));
    const DataDirectory exports = file.headers().directories.at(pe::kDirExport);
    uint64_t sections = 0;
    for (const Section &s : file.sections())
        sections += s.virtual_size;
    const uint64_t content = headers + sections;

    out << "\n### " << path << " (" << to_string(tables.form) << ")\n\n";
    out << "| part | bytes | |\n|---|---:|---|\n";
    row(out, "headers", headers, "of " + std::to_string(file.headers().size_of_headers) +
                                     " in the file");
    for (const Section &s : file.sections()) {
        row(out, "section " + s.name, s.virtual_size,
            "of " + std::to_string(s.raw_size) + " in the file");
        if (section_holding({s}, call.body_rva, 1) != nullptr) {
            const uint32_t here = section_holding({s}, exports.rva, 1) ? exports.size : 0;
            row(out, "&nbsp;&nbsp;tables and names", table_bytes);
            row(out, "&nbsp;&nbsp;export directory", here);
            row(out, "&nbsp;&nbsp;KbdLayerDescriptor", call.body_size);
            row(out, "&nbsp;&nbsp;alignment and the rest",
                s.virtual_size - table_bytes - here - call.body_size);
        }
    }
    row(out, "**content**", content);
    row(out, "**file**", file.bytes().size(),
        std::to_string(file.bytes().size() - content) +
            " bytes of padding to the file alignment (" +
            std::to_string(file.headers().file_alignment) + ")");
}

}  // namespace
}  // namespace wendol

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::cerr << "usage: module_size FILE...\n";
        return 2;
    }
    try {
        for (int i = 1; i < argc; ++i)
            wendol::report(std::cout, argv[i]);
    } catch (const wendol::Error &e) {
        std::cerr << "module_size: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
