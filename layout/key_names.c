/*
 * key_names.c - key names.
 */
#include "layout.h"

const VSC_LPWSTR aKeyNames[] = {
    { 0, KBD_NULL }
};

const VSC_LPWSTR aKeyNamesExt[] = {
    { 0, KBD_NULL }
};

const DEADKEY_LPWSTR aKeyNamesDead[] = {
    KBD_NULL
};
