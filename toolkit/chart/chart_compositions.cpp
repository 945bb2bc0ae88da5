// chart_compositions.cpp - dead characters gathered from the composition
// table and from the keys the views typed.
#include "chart/chart_compositions.h"

#include <algorithm>

#include "engine/key_names.h"
#include "engine/keyboard_sweep.h"

namespace wendol::chart {

namespace {

CompositionGroup &group_for(std::vector<CompositionGroup> &groups, const Keymap &keymap,
                            char16_t dead)
{
    auto found = std::find_if(groups.begin(), groups.end(),
                              [dead](const CompositionGroup &g) { return g.dead == dead; });
    if (found != groups.end())
        return *found;
    CompositionGroup &group = groups.emplace_back();
    group.dead = dead;
    group.name = dead_key_name(keymap.tables(), dead);
    group.lock = caps_lock_name(keymap);
    return group;
}

void add_place(CompositionGroup &group, ScanCode key, Level level, const Chord &held,
               bool caps_lock)
{
    auto found = std::find_if(group.places.begin(), group.places.end(), [&](const DeadKeyPlace &p) {
        return p.key == key && p.level == level && p.held == held;
    });
    DeadKeyPlace &place = found != group.places.end()
                              ? *found
                              : group.places.emplace_back(DeadKeyPlace{key, level, held});
    (caps_lock ? place.caps_on : place.caps_off) = true;
}

void add_places(std::vector<CompositionGroup> &groups, const Keymap &keymap, const View &view)
{
    for (const KeyFace &key : view.keys) {
        for (size_t i = 0; i < kLevels.size(); ++i) {
            const std::optional<Label> &label = key.levels[i];
            if (label && label->kind == Label::Kind::Dead && !label->text.empty())
                add_place(group_for(groups, keymap, label->text.front()), key.place.scan,
                          kLevels[i], view.layer.held, view.locks.caps_lock);
        }
    }
}

}  // namespace

std::vector<CompositionGroup> composition_groups(const Keymap &keymap,
                                                 const std::vector<const View *> &views)
{
    std::vector<CompositionGroup> groups;
    for (const DeadKeyEntry &entry : keymap.tables().dead_keys)
        group_for(groups, keymap, entry.dead).entries.push_back(entry);
    for (const View *view : views)
        add_places(groups, keymap, *view);
    return groups;
}

std::string place_chord(const DeadKeyPlace &place)
{
    return chord_text(level_chord(place.key, place.level, place.held));
}

std::string place_locks(const DeadKeyPlace &place, const std::string &lock)
{
    if (place.caps_off && place.caps_on)
        return lock + " off or on";
    return lock + (place.caps_on ? " on" : " off");
}

}  // namespace wendol::chart
