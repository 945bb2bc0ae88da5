/*
 * load_module.c - loads a layout module with the platform's loader, away
 * from its preferred base, and checks what KbdLayerDescriptor hands back.
 *
 * Built as a 32-bit program it loads the 32-bit module with 64-bit pointer
 * fields; built as a 64-bit program, the x64 module.  The root record and
 * its 8-byte fields are the same in both; only what the descriptor returns
 * and how a field reads as an address differ.
 *
 * usage: load_module.exe PATH\Wendol.dll
 * Prints one line per check; exits 0 when every check passes.
 */
#include <stdio.h>
#include <stdint.h>
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

    if (argc != 2) {
        fprintf(stderr, "usage: load_module PATH\\Wendol.dll\n");
        return 2;
    }
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
    check(root >= lo && root + 104 <= hi, "the root record lies inside the module", first);
    if (root < lo || root + 104 > hi)
        return 1;

    for (i = 0; i < 10; i++) {
        char what[96];
        uint64_t field;
        if (!fields[i])
            continue;
        memcpy(&field, (const void *)(root + 8 * i), 8);
#ifndef _WIN64
        /* The relocations patch only the low half; the high half stays 0. */
        snprintf(what, sizeof what, "%s: high half zero", fields[i]);
        check((field >> 32) == 0, what, field >> 32);
#endif
        snprintf(what, sizeof what, "%s: points inside the module", fields[i]);
        check(field >= lo && field < hi, what, field);
    }
    {
        uint32_t flags;
        uint64_t ligature;
        memcpy(&flags, (const void *)(root + 0x50), 4);
        memcpy(&ligature, (const void *)(root + 0x58), 8);
        check(flags == 0x00010000, "fLocaleFlags is KBD_VERSION 1 with no flags", flags);
        check(ligature == 0, "pLigature stays null after relocation", ligature);
    }

    memset(&info, 0, sizeof info);
    VirtualQuery((const void *)root, &info, sizeof info);
    check(info.Protect == PAGE_EXECUTE_READ, "the tables are mapped execute+read, not writable",
          info.Protect);

    check(FreeLibrary(module), "FreeLibrary unloads the module", 0);
    printf("load_module: %d checks passed, %d failed\n", passes, failures);
    return failures ? 1 : 0;
}
