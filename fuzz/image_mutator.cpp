// image_mutator.cpp - a libFuzzer mutator that keeps an image an image.
//
// Byte-level mutation of a whole file breaks the DOS header, the PE
// signature or the section table within a few steps, and from then on every
// input is refused before the tables or the resources are reached.  This
// mutator finds the sections of the input and, most of the time, mutates
// inside one of them only, keeping the file's length and the headers as
// they were; it also plants what the tables are made of, addresses inside
// the image (the far pointers, which base relocations then move) and the
// small values counts and special characters take, and now and then
// perturbs one header field.  An input that is no image gets the fuzzer's
// own mutation.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

extern "C" size_t LLVMFuzzerMutate(uint8_t *data, size_t size, size_t max_size);

namespace {

uint32_t read_u32(const uint8_t *data, size_t offset)
{
    uint32_t value = 0;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

uint16_t read_u16(const uint8_t *data, size_t offset)
{
    uint16_t value = 0;
    std::memcpy(&value, data + offset, sizeof value);
    return value;
}

template <typename T>
void write_at(uint8_t *data, size_t size, size_t offset, T value)
{
    if (offset <= size && sizeof value <= size - offset)
        std::memcpy(data + offset, &value, sizeof value);
}

struct SectionBytes {
    uint32_t virtual_address = 0;
    uint32_t virtual_size = 0;
    size_t file_offset = 0;   // its raw data, clipped to the input
    size_t file_size = 0;
};

// Where the headers say things are; only what the input really holds.
struct ImageShape {
    bool pe32_plus = false;
    uint64_t image_base = 0;
    std::vector<size_t> header_fields;   // offsets of 32-bit fields worth perturbing
    std::vector<SectionBytes> sections;
};

bool read_shape(const uint8_t *data, size_t size, ImageShape &shape)
{
    if (size < 0x40 || data[0] != 'M' || data[1] != 'Z')
        return false;
    const size_t pe = read_u32(data, 0x3C);
    if (pe > size || size - pe < 24 || std::memcmp(data + pe, "PE\0\0", 4) != 0)
        return false;
    const size_t file_header = pe + 4;
    const unsigned section_count = read_u16(data, file_header + 2);
    const size_t optional = file_header + 20;
    const size_t optional_size = read_u16(data, file_header + 16);
    if (optional_size < 0x60 || size - optional < optional_size)
        return false;
    shape.pe32_plus = read_u16(data, optional) == 0x20B;
    shape.image_base = shape.pe32_plus ? read_u32(data, optional + 24) |
                                             (uint64_t{read_u32(data, optional + 28)} << 32)
                                       : read_u32(data, optional + 28);
    // SectionAlignment, FileAlignment, SizeOfImage, SizeOfHeaders, and the
    // directories' RVAs and sizes that follow NumberOfRvaAndSizes.
    for (const size_t field : {32u, 36u, 56u, 60u})
        shape.header_fields.push_back(optional + field);
    const size_t directories = optional + (shape.pe32_plus ? 112 : 96);
    for (size_t field = directories; field + 4 <= optional + optional_size; field += 4)
        shape.header_fields.push_back(field);

    const size_t table = optional + optional_size;
    for (unsigned i = 0; i < section_count && table + (i + 1) * 40 <= size; ++i) {
        const size_t header = table + i * 40;
        for (const size_t field : {8u, 12u, 16u, 20u, 36u})
            shape.header_fields.push_back(header + field);
        SectionBytes section;
        section.virtual_size = read_u32(data, header + 8);
        section.virtual_address = read_u32(data, header + 12);
        const size_t raw_size = read_u32(data, header + 16);
        const size_t raw_offset = read_u32(data, header + 20);
        if (raw_offset >= size || raw_size == 0)
            continue;
        section.file_offset = raw_offset;
        section.file_size = raw_size < size - raw_offset ? raw_size : size - raw_offset;
        shape.sections.push_back(section);
    }
    return !shape.sections.empty();
}

class Mutation {
public:
    Mutation(uint8_t *data, size_t size, const ImageShape &shape, unsigned seed)
        : data_(data), size_(size), shape_(shape), random_(seed) {}

    // Mutates inside a window of one section and keeps the length.
    void within_a_section()
    {
        const SectionBytes &section = pick_section();
        const size_t length = std::min<size_t>(section.file_size, 1 + below(256));
        const size_t start = section.file_offset + below(section.file_size - length + 1);
        std::vector<uint8_t> window(data_ + start, data_ + start + length);
        const size_t mutated = LLVMFuzzerMutate(window.data(), window.size(), window.size());
        std::memcpy(data_ + start, window.data(), mutated);
    }

    // An address inside the image where a pointer may sit.
    void plant_an_address()
    {
        const SectionBytes &target = pick_section();
        const uint32_t extent = std::max(target.virtual_size, uint32_t{1});
        const uint64_t address =
            shape_.image_base + target.virtual_address + (below(extent) & ~uint64_t{1});
        const size_t offset = aligned_offset(shape_.pe32_plus ? 8 : 4);
        if (shape_.pe32_plus)
            write_at<uint64_t>(data_, size_, offset, address);
        else
            write_at<uint32_t>(data_, size_, offset, static_cast<uint32_t>(address));
    }

    // A count, an attribute, a modifier or a special character.
    void plant_a_small_value()
    {
        static constexpr std::array<uint16_t, 14> kValues = {
            0x0000, 0x0001, 0x0002, 0x0003, 0x0007, 0x000F, 0x00FF, 0x0100,
            0x7FFF, 0x8000, 0xF000, 0xF001, 0xF002, 0xFFFF};
        const uint16_t value = kValues[below(kValues.size())];
        if (below(2) == 0)
            write_at<uint8_t>(data_, size_, aligned_offset(1), static_cast<uint8_t>(value));
        else
            write_at<uint16_t>(data_, size_, aligned_offset(2), value);
    }

    // One alignment, size, directory or section field: nudged, halved,
    // doubled, cleared or set to anything.
    void perturb_a_header_field()
    {
        if (shape_.header_fields.empty())
            return;
        const size_t offset = shape_.header_fields[below(shape_.header_fields.size())];
        const uint32_t value = read_u32(data_, offset);
        uint32_t changed = 0;
        switch (below(6)) {
        case 0: changed = value + 1 + static_cast<uint32_t>(below(16)); break;
        case 1: changed = value - 1 - static_cast<uint32_t>(below(16)); break;
        case 2: changed = value / 2; break;
        case 3: changed = value * 2; break;
        case 4: changed = 0; break;
        default: changed = static_cast<uint32_t>(random_()); break;
        }
        write_at<uint32_t>(data_, size_, offset, changed);
    }

private:
    uint64_t below(uint64_t bound) { return bound == 0 ? 0 : random_() % bound; }

    const SectionBytes &pick_section() { return shape_.sections[below(shape_.sections.size())]; }

    size_t aligned_offset(size_t alignment)
    {
        const SectionBytes &section = pick_section();
        return (section.file_offset + below(section.file_size)) & ~(alignment - 1);
    }

    uint8_t *data_;
    size_t size_;
    const ImageShape &shape_;
    std::mt19937_64 random_;
};

}  // namespace

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t *data, size_t size, size_t max_size,
                                          unsigned int seed)
{
    ImageShape shape;
    const unsigned choice = seed % 16;
    if (choice >= 14 || !read_shape(data, size, shape))
        return LLVMFuzzerMutate(data, size, max_size);
    Mutation mutation(data, size, shape, seed / 16);
    if (choice < 9)
        mutation.within_a_section();
    else if (choice < 11)
        mutation.plant_an_address();
    else if (choice < 13)
        mutation.plant_a_small_value();
    else
        mutation.perturb_a_header_field();
    return size;
}
