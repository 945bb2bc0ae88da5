// key_names.cpp - name lookups over the lists as read from the image.
#include "engine/key_names.h"

namespace wendol {

std::optional<std::u16string> key_name(const LayoutTables &tables, uint8_t scan, bool e0)
{
    const std::vector<KeyName> &list = e0 ? tables.key_names_ext : tables.key_names;
    for (const KeyName &entry : list)
        if (entry.scan == scan)
            return entry.name;
    return std::nullopt;
}

std::optional<NameLookup> name_lookup(ScanCode sent)
{
    constexpr uint8_t kNumLockPause = 0x45;
    constexpr uint8_t kPauseAfterE1 = 0x1D;
    switch (sent.prefix) {
    case Prefix::None:
        return NameLookup{sent.code, sent.code == kNumLockPause};
    case Prefix::E0:
        return NameLookup{sent.code, true};
    case Prefix::E1:
        if (sent.code == kPauseAfterE1)
            return NameLookup{kNumLockPause, false};
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::u16string> key_name(const LayoutTables &tables, ScanCode sent)
{
    const std::optional<NameLookup> lookup = name_lookup(sent);
    if (!lookup)
        return std::nullopt;
    return key_name(tables, lookup->scan, lookup->e0);
}

std::optional<DeadKeyName> split_dead_key_name(const std::u16string &stored)
{
    if (stored.empty())
        return std::nullopt;
    return DeadKeyName{stored.front(), stored.substr(1)};
}

std::vector<DeadKeyName> dead_key_names(const LayoutTables &tables)
{
    std::vector<DeadKeyName> names;
    for (const std::u16string &stored : tables.dead_key_names)
        if (std::optional<DeadKeyName> name = split_dead_key_name(stored))
            names.push_back(std::move(*name));
    return names;
}

std::optional<std::u16string> dead_key_name(const LayoutTables &tables, char16_t dead)
{
    for (const std::u16string &stored : tables.dead_key_names)
        if (!stored.empty() && stored.front() == dead)
            return stored.substr(1);
    return std::nullopt;
}

}  // namespace wendol
