// cell_label.cpp - the cell markers by name, every other cell by its character.
#include "tables/cell_label.h"

#include "base/text.h"
#include "tables/tables.h"

namespace wendol {

std::string cell_label(uint16_t cell)
{
    switch (cell) {
    case kWchNone:
        return "none";
    case kWchDead:
        return "dead";
    case kWchLigature:
        return "ligature";
    default:
        return character_label(cell);
    }
}

}  // namespace wendol
