/*
 * char_tables.c - the character-table list.
 */
#include "layout.h"

const VK_TO_WCHAR_TABLE aVkToWcharTable[] = {
    { KBD_NULL, 0, 0 }
};
