// pointer_label.cpp - a far pointer field by the names kbd.h gives its
// record and field.
#include "tables/tables.h"

namespace wendol {

namespace {

struct SlotName {
    const char *record;   // the record, or the list whose entries hold the field
    const char *field;    // empty for a list of bare pointers
    bool entry;           // a field of a list's entries
};

SlotName slot_name(PointerSlot slot)
{
    switch (slot) {
    case PointerSlot::CharModifiers: return {"KBDTABLES", "pCharModifiers", false};
    case PointerSlot::VkToWcharTable: return {"KBDTABLES", "pVkToWcharTable", false};
    case PointerSlot::DeadKey: return {"KBDTABLES", "pDeadKey", false};
    case PointerSlot::KeyNames: return {"KBDTABLES", "pKeyNames", false};
    case PointerSlot::KeyNamesExt: return {"KBDTABLES", "pKeyNamesExt", false};
    case PointerSlot::KeyNamesDead: return {"KBDTABLES", "pKeyNamesDead", false};
    case PointerSlot::VscToVk: return {"KBDTABLES", "pusVSCtoVK", false};
    case PointerSlot::VscToVkE0: return {"KBDTABLES", "pVSCtoVK_E0", false};
    case PointerSlot::VscToVkE1: return {"KBDTABLES", "pVSCtoVK_E1", false};
    case PointerSlot::Ligature: return {"KBDTABLES", "pLigature", false};
    case PointerSlot::VkToBit: return {"MODIFIERS", "pVkToBit", false};
    case PointerSlot::CharTableRows: return {"aVkToWcharTable", "pVkToWchars", true};
    case PointerSlot::KeyName: return {"aKeyNames", "pwsz", true};
    case PointerSlot::KeyNameExt: return {"aKeyNamesExt", "pwsz", true};
    case PointerSlot::DeadKeyName: return {"aKeyNamesDead", "", true};
    }
    return {"unknown", "", false};
}

}  // namespace

const char *record_name(PointerSlot slot)
{
    return slot_name(slot).record;
}

std::string label(PointerId id)
{
    const SlotName name = slot_name(id.slot);
    std::string text = name.record;
    if (name.entry) {
        text += '[';
        text += std::to_string(id.entry);
        text += ']';
    }
    if (*name.field)
        text += std::string(".") + name.field;
    return text;
}

}  // namespace wendol
