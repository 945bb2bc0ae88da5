// chart_layers.cpp - the columns the four levels do not read, found as the
// keymap's lookup reads a column for each combination of modifier bits,
// and gathered by the further keys that select them.
#include "chart/chart_layers.h"

#include <map>
#include <set>

#include "base/text.h"
#include "engine/key_names.h"
#include "engine/reverse_lookup.h"
#include "engine/typing.h"
#include "tables/vk_names.h"

namespace wendol::chart {

namespace {

constexpr ScanCode kAKey{Prefix::None, 0x1E};   // the chart's sample key

// The columns the four levels read, as typing them on the A key finds.
std::set<uint8_t> standard_columns(const Keymap &keymap)
{
    std::set<uint8_t> drawn;
    for (Level level : kLevels) {
        Typist typist(keymap);
        const std::vector<Press> presses = typist.chord(level_chord(kAKey, level));
        if (!presses.empty() && presses.back().cell.column)
            drawn.insert(*presses.back().cell.column);
    }
    return drawn;
}

// The bits the AltGr key holds on this layout: Ctrl+Alt under KLLF_ALTGR,
// the layout's own bit where it gives the key one, Alt otherwise.
unsigned altgr_bits(const Keymap &keymap)
{
    Typist typist(keymap);
    typist.press(parse_key("AltGr"));
    return typist.modifier_bits();
}

// Whether some key gives something in the column.
bool column_types(const Keymap &keymap, uint8_t column)
{
    for (unsigned vk = 0; vk < 256; ++vk) {
        const std::span<const Cell> cells = keymap.cells_of(static_cast<uint8_t>(vk));
        if (column < cells.size() && (cells[column].kind == Cell::Kind::Character ||
                                      cells[column].kind == Cell::Kind::Dead ||
                                      cells[column].kind == Cell::Kind::Ligature))
            return true;
    }
    return false;
}

// Each column no standard level reads and some key types, with the lowest
// bits that select it; the column is the one the keymap's lookup reads,
// Alt cleared where the platform clears it.
std::map<uint8_t, unsigned> further_columns(const Keymap &keymap)
{
    const std::set<uint8_t> drawn = standard_columns(keymap);
    const Modifiers &m = keymap.tables().modifiers;
    std::map<uint8_t, unsigned> further;
    for (unsigned bits = 0; bits <= m.max_mod_bits && bits < m.mod_number.size(); ++bits) {
        if ((bits & kKbdCtrl) && !(bits & kKbdAlt))
            continue;
        const std::optional<uint8_t> column = keymap.cell('A', bits, false).column;
        if (column && !drawn.count(*column) && !further.count(*column) &&
            column_types(keymap, *column))
            further.emplace(*column, bits);
    }
    return further;
}

// Bits taken apart into the chart's level and the further bits beneath it.
struct Split {
    unsigned further = 0;
    Level level = Level::Plain;
};

Split split(unsigned bits, unsigned altgr)
{
    const bool shift = bits & kKbdShift;
    if (altgr && (bits & altgr) == altgr)
        return {bits & ~(altgr | kKbdShift), shift ? Level::AltGrShift : Level::AltGr};
    return {bits & ~kKbdShift, shift ? Level::Shift : Level::Plain};
}

// A modifier key as a person finds it: the key that sends it and the
// layout's name for that key, else the virtual key itself.
struct HeldKey {
    Key key;
    std::string name;
};

HeldKey held_key(const Keymap &keymap, const KeyFinder &finder, uint8_t vk)
{
    if (const std::optional<Key> key = finder.plain_key_for(vk)) {
        const ScanCode scan = std::get<ScanCode>(*key);
        const std::optional<std::u16string> name = key_name(keymap.tables(), scan);
        return {*key, name ? utf8(*name) : vk_label(vk)};
    }
    return {VirtualKey{vk}, vk_label(vk)};
}

Layer layer_for(const Keymap &keymap, const KeyFinder &finder, unsigned further)
{
    Layer layer;
    layer.levels = {false, false, false, false};
    for (uint8_t vk : keymap.keys_making(further)) {
        const HeldKey held = held_key(keymap, finder, vk);
        layer.held.push_back(held.key);
        layer.name += (layer.name.empty() ? "" : "+") + held.name;
    }
    return layer;
}

}  // namespace

std::vector<Layer> extra_layers(const Keymap &keymap)
{
    const unsigned altgr = altgr_bits(keymap);
    const KeyFinder finder(keymap);
    std::set<unsigned> lowest;             // the further columns' lowest bits, in order
    for (const auto &[column, bits] : further_columns(keymap))
        lowest.insert(bits);
    std::vector<unsigned> order;           // each layer's further bits, as first met
    std::map<unsigned, Layer> layers;
    for (unsigned bits : lowest) {
        const Split taken = split(bits, altgr);
        if (taken.further == 0)
            continue;   // a standard level's keys: the standard views draw it
        if (!layers.count(taken.further)) {
            order.push_back(taken.further);
            layers.emplace(taken.further, layer_for(keymap, finder, taken.further));
        }
        layers.at(taken.further).levels[static_cast<size_t>(taken.level)] = true;
    }
    std::vector<Layer> out;
    for (unsigned further : order)
        out.push_back(std::move(layers.at(further)));
    return out;
}

}  // namespace wendol::chart
