/*
 * main_keys.c - the alphanumeric block.
 */
#include "layout.h"

const VK_TO_WCHARS5 aVkToWchMain[] = {
    { 0, 0, { 0, 0, 0, 0, 0 } }
};
