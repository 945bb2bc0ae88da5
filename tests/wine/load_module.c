/*
 * load_module.c - loads a layout module with the platform's loader, away
 * from its preferred base, and checks what KbdLayerDescriptor hands back.
 *
 * Built as a 32-bit program it loads the 32-bit module with 64-bit pointer
 * fields; built as a 64-bit program, the x64 module.  The root record and
 * its 8-byte fields are the same in both; only what the descriptor returns
 * and how a field reads as an address differ.
 *
 * usage: load_module.exe PATH\Wendol.dll [FLAGS LIGATURE [WIDTH]]
 *   FLAGS     the fLocaleFlags expected (default 0x00010000, Wendol's)
 *   LIGATURE  1 where pLigature must point inside the module, 0 where it is null
 *   WIDTH     the pointer fields' width: 8 (default) or 4, a 32-bit module
 *             built with the platform's 32-bit pointers
 * Prints one line per check; exits 0 when every check passes.
 */
#include <stdio.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>
#include <imagehlp.h>

typedef unsigned long long (WINAPI *descriptor_fn)(void);

static int failures, passes;

static void check(int ok, const char *what, unsigned long long found)
{
    printf("%s %s (found 0x%llX)\n", ok ? "ok  " : "FAIL", what, found);
    if (ok)
        passes++;
    else
        failures++;
}

/* The preferred base and image size, read from the file's own headers:
 * ImageBase is 4 bytes at 28 in a PE32 optional header, 8 bytes at 24 in
 * a PE32+ one. */
static int read_preferred(const char *path, uint64_t *base, uint32_t *size)
{
    unsigned char head[4096];
    FILE *f = fopen(path, "rb");
    size_t n;
    uint32_t pe;
    uint16_t magic;
    if (!f)
        return 0;
    n = fread(head, 1, sizeof head, f);
    fclose(f);
    if (n < 0x40)
        return 0;
    memcpy(&pe, head + 0x3C, 4);
    if (pe > n - 24 - 60)
        return 0;
    memcpy(&magic, head + pe + 24, 2);
    *base = 0;
    if (magic == 0x20B) {
        memcpy(base, head + pe + 24 + 24, 8);
    } else {
        memcpy(base, head + pe + 24 + 28, 4);
    }
    memcpy(size, head + pe + 24 + 56, 4);
    return 1;
}

/* A far pointer field of `width` bytes.  In a 32-bit module's 8-byte
 * fields the relocations patch only the low half; the high half stays 0. */
static uint64_t read_field(uintptr_t at, unsigned width, char *what, const char *name)
{
    uint64_t field = 0;
    memcpy(&field, (const void *)at, width);
#ifndef _WIN64
    if (width == 8) {
        snprintf(what, 96, "%s: high half zero", name);
        check((field >> 32) == 0, what, field >> 32);
    }
#else
    (void)what;
    (void)name;
#endif
    return field;
}

/* Every key name the three name lists lead to, read through its pointer:
 * each must lie inside the module and end there. */
static void names_read_back(uintptr_t root, unsigned width, uintptr_t lo, uintptr_t hi)
{
    static const char *lists[] = {"pKeyNames", "pKeyNamesExt", "pKeyNamesDead"};
    char what[128];
    int list;
    for (list = 0; list < 3; list++) {
        const uint64_t start = read_field(root + width * (3 + list), width, what, lists[list]);
        /* VSC_LPWSTR: a scan code, then the pointer at its alignment;
         * the dead-key list is bare pointers. */
        const unsigned entry = list == 2 ? width : 2 * width;
        const unsigned offset = list == 2 ? 0 : width;
        int count = 0, inside = 1;
        uintptr_t at;
        if (!start)
            continue;
        for (at = (uintptr_t)start; at + entry <= hi; at += entry) {
            const uint64_t name = read_field(at + offset, width, what, lists[list]);
            const WCHAR *text;
            if (!name)
                break;
            if (name < lo || name >= hi) {
                inside = 0;
                break;
            }
            for (text = (const WCHAR *)(uintptr_t)name; (uintptr_t)text < hi && *text; text++)
                ;
            if ((uintptr_t)text >= hi)
                inside = 0;
            count++;
        }
        snprintf(what, sizeof what, "%s: %d names read back, each inside the module", lists[list], count);
        check(inside, what, (unsigned long long)count);
    }
}

int main(int argc, char **argv)
{
    static const char *fields[] = {
        "pCharModifiers", "pVkToWcharTable", "pDeadKey", "pKeyNames",
        "pKeyNamesExt", "pKeyNamesDead", "pusVSCtoVK", NULL /* bMaxVSCtoVK */,
        "pVSCtoVK_E0", "pVSCtoVK_E1",
    };
    uint64_t preferred = 0;
    uint32_t image_size = 0;
    HMODULE module;
    descriptor_fn descriptor;
    unsigned long long first, second;
    uintptr_t lo, hi, root;
    MEMORY_BASIC_INFORMATION info;
    int i;

    uint32_t want_flags = 0x00010000;
    int want_ligature = 0;
    unsigned width = 8;

    if (argc != 2 && argc != 4 && argc != 5) {
        fprintf(stderr, "usage: load_module PATH\\Wendol.dll [FLAGS LIGATURE [WIDTH]]\n");
        return 2;
    }
    if (argc >= 4) {
        want_flags = (uint32_t)strtoul(argv[2], NULL, 0);
        want_ligature = atoi(argv[3]);
    }
    if (argc == 5)
        width = (unsigned)atoi(argv[4]);
    if (!read_preferred(argv[1], &preferred, &image_size)) {
        fprintf(stderr, "cannot read the headers of %s\n", argv[1]);
        return 2;
    }
    {
        DWORD stored = 0, computed = 0;
        DWORD status = MapFileAndCheckSumA(argv[1], &stored, &computed);
        check(status == CHECKSUM_SUCCESS && stored == computed && stored != 0,
              "the header checksum is the one the platform computes", stored);
    }

    /* Take the preferred range so that the loader has to relocate. */
    VirtualAlloc((void *)(uintptr_t)preferred, image_size, MEM_RESERVE, PAGE_NOACCESS);

    module = LoadLibraryA(argv[1]);
    check(module != NULL, "LoadLibrary loads the module", GetLastError());
    if (!module)
        return 1;
    lo = (uintptr_t)module;
    hi = lo + image_size;
    check(lo != preferred, "the module was relocated away from its preferred base", lo);

    descriptor = (descriptor_fn)(void *)GetProcAddress(module, "KbdLayerDescriptor");
    check(descriptor != NULL, "KbdLayerDescriptor is exported by name", (uintptr_t)descriptor);
    if (!descriptor)
        return 1;
    check((void *)GetProcAddress(module, MAKEINTRESOURCEA(1)) == (void *)descriptor,
          "ordinal 1 is KbdLayerDescriptor", (uintptr_t)GetProcAddress(module, MAKEINTRESOURCEA(1)));
    check(GetProcAddress(module, MAKEINTRESOURCEA(2)) == NULL, "ordinal 2 does not exist", 0);

    first = descriptor();
    second = descriptor();
    check(first == second, "two calls return the same value", second);
#ifdef _WIN64
    root = (uintptr_t)first;
#else
    /* A 32-bit caller gets the address widened to 64 bits in EDX:EAX. */
    root = (uintptr_t)(uint32_t)first;
    check((uint32_t)(first >> 32) == ((root & 0x80000000u) ? 0xFFFFFFFFu : 0u),
          "the high half is the sign extension of the address", first);
#endif
    {
        /* The root record: ten pointer-sized slots, then the locale flags,
         * the ligature fields and the type. */
        const unsigned size = width == 8 ? 104 : 60;
        check(root >= lo && root + size <= hi, "the root record lies inside the module", first);
        if (root < lo || root + size > hi)
            return 1;
    }

    for (i = 0; i < 10; i++) {
        char what[96];
        uint64_t field;
        if (!fields[i])
            continue;
        field = read_field(root + width * i, width, what, fields[i]);
        if (field == 0 && argc > 2) {
            snprintf(what, sizeof what, "%s: null, as the source has no such list", fields[i]);
            check(1, what, 0);
            continue;
        }
        snprintf(what, sizeof what, "%s: points inside the module", fields[i]);
        check(field >= lo && field < hi, what, field);
    }
    {
        uint32_t flags;
        uint64_t ligature;
        char what[96];
        memcpy(&flags, (const void *)(root + 10 * width), 4);
        ligature = read_field(root + (width == 8 ? 0x58 : 0x30), width, what, "pLigature");
        snprintf(what, sizeof what, "fLocaleFlags is 0x%08X", (unsigned)want_flags);
        check(flags == want_flags, what, flags);
        if (want_ligature)
            check(ligature >= lo && ligature < hi, "pLigature points inside the module", ligature);
        else
            check(ligature == 0, "pLigature stays null after relocation", ligature);
    }
    names_read_back(root, width, lo, hi);

    memset(&info, 0, sizeof info);
    VirtualQuery((const void *)root, &info, sizeof info);
    check(info.Protect == PAGE_EXECUTE_READ, "the tables are mapped execute+read, not writable",
          info.Protect);

    check(FreeLibrary(module), "FreeLibrary unloads the module", 0);
    printf("load_module: %d checks passed, %d failed\n", passes, failures);
    return failures ? 1 : 0;
}
