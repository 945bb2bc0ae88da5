// compose.cpp - dead characters combined through the composition table.
#include "engine/compose.h"

#include <set>

namespace wendol {

Delivery Compose::character(const Keymap &keymap, char16_t ch)
{
    return combine(keymap, ch, false);
}

Delivery Compose::dead(const Keymap &keymap, char16_t dead)
{
    return combine(keymap, dead, true);
}

Delivery Compose::characters(const Keymap &keymap, std::u16string_view text)
{
    Delivery out;
    for (char16_t ch : text) {
        const Delivery one = combine(keymap, ch, false);
        out.text += one.text;
        out.entry = out.entry ? out.entry : one.entry;
        out.unmatched |= one.unmatched;
    }
    out.pending = pending_;
    return out;
}

Delivery Compose::combine(const Keymap &keymap, char16_t ch, bool ch_is_dead)
{
    Delivery out;
    if (!pending_) {
        if (ch_is_dead)
            pending_ = ch;
        else
            out.text.push_back(ch);
        out.pending = pending_;
        return out;
    }

    char16_t dead = *pending_;
    pending_.reset();
    if (const DeadKeyEntry *entry = keymap.composition(dead, ch)) {
        out.entry = entry;
        if (entry->flags & kDkfDead)
            pending_ = static_cast<char16_t>(entry->composed);
        else
            out.text.push_back(static_cast<char16_t>(entry->composed));
    } else {
        // No entry: the dead character goes out as it is, then the character.
        out.unmatched = true;
        out.text.push_back(dead);
        out.text.push_back(ch);
    }
    out.pending = pending_;
    return out;
}

void follow_chains(const Keymap &keymap, const std::vector<char16_t> &start,
                   const std::function<bool(char16_t)> &is_base,
                   const std::function<void(const DeadKeyEntry &)> &reached)
{
    std::set<char16_t> seen(start.begin(), start.end());
    std::set<char16_t> frontier = seen;
    while (!frontier.empty()) {
        std::set<char16_t> next;
        for (const DeadKeyEntry *entry : keymap.compositions()) {
            const auto dead = static_cast<char16_t>(entry->dead);
            const auto result = static_cast<char16_t>(entry->composed);
            if (!(entry->flags & kDkfDead) || !frontier.count(dead) || seen.count(result) ||
                !is_base(static_cast<char16_t>(entry->base)))
                continue;
            seen.insert(result);
            next.insert(result);
            reached(*entry);
        }
        frontier = std::move(next);
    }
}

}  // namespace wendol
