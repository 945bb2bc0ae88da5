// table_reader.h - follows far pointers through a mapped image.  Every field
// read is recorded; every target is checked to lie inside a section and to be
// aligned for what it points at; every list must end before its section does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pe/image.h"
#include "tables/tables.h"

namespace wendol {

class TableReader {
public:
    TableReader(const MappedImage &image, PointerForm form, std::vector<PointerField> &pointers);

    const MappedImage &image() const { return image_; }
    uint32_t pointer_size() const { return wendol::pointer_size(form_); }

    // The far pointer field `id` stored at `field_rva`, checked and
    // recorded: what it holds and, unless it is null, where it leads.
    PointerField field(uint32_t field_rva, PointerId id, uint32_t target_alignment);

    // The same field's target RVA, or nothing for a null pointer.
    std::optional<uint32_t> pointer(uint32_t field_rva, PointerId id, uint32_t target_alignment);

    // The first RVA past the section that holds `rva`; a table starting at
    // `rva` must end before it.
    uint32_t section_end(uint32_t rva, const std::string &what) const;

    // Walks records of `entry_size` bytes from `start` until `visit` returns
    // false (the terminator); refuses a list that runs to the end of its
    // section or past a sane count, or that takes what the reader has read
    // from the image in all past twice the image's size plus 64 KiB, or
    // past 4 MiB.  Returns the number of records before the
    // terminator.
    uint32_t walk(uint32_t start, uint32_t entry_size, const std::string &what,
                  const std::function<bool(uint32_t rva, uint32_t index)> &visit,
                  const char *terminator = "its end record") const;

    // A NUL-terminated UTF-16 string at `rva`.
    std::u16string string(uint32_t rva, const std::string &what) const;

private:
    const MappedImage &image_;
    PointerForm form_;
    std::vector<PointerField> &pointers_;
    uint64_t read_limit_;
    mutable uint64_t read_ = 0;   // bytes of lists and strings read so far
};

// The tables below the root record, one reader each.
Modifiers read_modifiers(TableReader &reader, uint32_t rva);
std::vector<CharTable> read_char_tables(TableReader &reader, uint32_t rva);
std::vector<DeadKeyEntry> read_dead_keys(TableReader &reader, uint32_t rva);
// `names` is the slot of the list's name pointers: KeyName or KeyNameExt.
std::vector<KeyName> read_key_names(TableReader &reader, uint32_t rva, PointerSlot names);
std::vector<std::u16string> read_dead_key_names(TableReader &reader, uint32_t rva);
// The ligature list: entries of `entry_size` bytes (cbLgEntry) holding up to
// `max_chars` characters (nLgMax), ended by a VirtualKey of 0.
std::vector<LigatureEntry> read_ligatures(TableReader &reader, uint32_t rva, uint8_t max_chars,
                                          uint8_t entry_size);
std::vector<uint16_t> read_scan_map(TableReader &reader, uint32_t rva, uint8_t count);
std::vector<ScanCodeEntry> read_prefixed_scan_map(TableReader &reader, uint32_t rva,
                                                  const std::string &list);

}  // namespace wendol
