/*
 * dead_keys.c - dead-key compositions.
 */
#include "layout.h"

const DEADKEY aDeadKey[] = {
    { 0, 0, 0 }
};
