/*
 * resources.c - reads the layout module's resources with the platform's own
 * resource and version functions: the directory as the enumeration functions
 * see it, the three name strings through LoadStringW, and the version
 * information through GetFileVersionInfoW and VerQueryValueW.
 *
 * usage: resources.exe PATH\Wendol.dll
 * Prints one line per check and a summary; exits 0 when every check passes.
 */
#include <stdio.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

static int passes, failures;

static void check(int ok, const char *what, const char *found)
{
    printf("%s %s (found %s)\n", ok ? "ok  " : "FAIL", what, found);
    if (ok)
        passes++;
    else
        failures++;
}

static void check_number(int ok, const char *what, unsigned long found)
{
    char text[32];
    snprintf(text, sizeof text, "0x%lX", found);
    check(ok, what, text);
}

/* UTF-16 text, quoted, as UTF-8 for the log. */
static const char *shown(const WCHAR *text, int length, char *out, int size)
{
    int n;
    if (!text)
        return "nothing";
    out[0] = '"';
    n = WideCharToMultiByte(CP_UTF8, 0, text, length, out + 1, size - 3, NULL, NULL);
    out[1 + n] = '"';
    out[2 + n] = 0;
    return out;
}

static void check_text(const char *what, const WCHAR *found, int length, const WCHAR *expected)
{
    char buffer[512];
    int ok = found && length == (int)wcslen(expected) &&
             memcmp(found, expected, length * sizeof(WCHAR)) == 0;
    check(ok, what, shown(found, length, buffer, sizeof buffer));
}

/* ---- the directory as the enumeration functions walk it ---------------- */

struct walk {
    char seen[1024];   /* "6/63/0419 6/69/0419 ..." */
};

static void append(struct walk *w, const char *text)
{
    size_t used = strlen(w->seen);
    snprintf(w->seen + used, sizeof w->seen - used, "%s", text);
}

static BOOL CALLBACK on_language(HMODULE m, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR p)
{
    char text[48];
    (void)m;
    if (IS_INTRESOURCE(type) && IS_INTRESOURCE(name))
        snprintf(text, sizeof text, "%s%u/%u/%04X", ((struct walk *)p)->seen[0] ? " " : "",
                 (unsigned)(ULONG_PTR)type, (unsigned)(ULONG_PTR)name, language);
    else
        snprintf(text, sizeof text, " (a named type or resource)");
    append((struct walk *)p, text);
    return TRUE;
}

static BOOL CALLBACK on_name(HMODULE m, LPCWSTR type, LPWSTR name, LONG_PTR p)
{
    EnumResourceLanguagesW(m, type, name, on_language, p);
    return TRUE;
}

static BOOL CALLBACK on_type(HMODULE m, LPWSTR type, LONG_PTR p)
{
    EnumResourceNamesW(m, type, on_name, p);
    return TRUE;
}

static void check_directory(HMODULE module)
{
    struct walk w;
    w.seen[0] = 0;
    EnumResourceTypesW(module, on_type, (LONG_PTR)&w);
    check(strcmp(w.seen, "6/63/0419 6/69/0419 6/76/0419 16/1/0409") == 0,
          "the directory holds string blocks 63, 69, 76 under 0x0419 and the version under 0x0409",
          w.seen);
}

/* ---- the string table ---------------------------------------------------- */

static void check_strings(HMODULE module)
{
    static const struct {
        UINT id;
        const WCHAR *text;
    } named[] = {
        {1000, L"Tarvena"},
        {1100, L"\u0410\u043D\u0433\u043B\u0438\u0439\u0441\u043A\u0456\u0439"},
        {1200, L"en-US"},
    };
    static const UINT unnamed[] = {999, 1001, 1007, 1099, 1101, 1199, 1201, 1215, 1, 500, 4000};
    WCHAR buffer[64];
    const WCHAR *stored;
    char what[96];
    size_t i;

    for (i = 0; i < sizeof named / sizeof named[0]; i++) {
        int length = LoadStringW(module, named[i].id, buffer, 64);
        snprintf(what, sizeof what, "LoadStringW %u", named[i].id);
        check_text(what, length > 0 ? buffer : NULL, length, named[i].text);
    }

    /* With no buffer, LoadStringW hands back the counted string in place. */
    stored = NULL;
    {
        int length = LoadStringW(module, 1000, (WCHAR *)&stored, 0);
        check_text("LoadStringW 1000 in place is counted, without a NUL", stored, length,
                   L"Tarvena");
    }

    for (i = 0; i < sizeof unnamed / sizeof unnamed[0]; i++) {
        int length = LoadStringW(module, unnamed[i], buffer, 64);
        snprintf(what, sizeof what, "LoadStringW %u gives nothing", unnamed[i]);
        check_number(length == 0, what, (unsigned long)length);
    }
}

/* ---- the version information --------------------------------------------- */

/* "3.1.0.2" from the two halves of a version. */
static const char *quad(DWORD ms, DWORD ls, char *out)
{
    sprintf(out, "%lu.%lu.%lu.%lu", ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF);
    return out;
}

static void check_fixed(const void *info)
{
    char text[48];
    VS_FIXEDFILEINFO *fixed = NULL;
    UINT length = 0;
    if (!VerQueryValueW(info, L"\\", (void **)&fixed, &length) || length < sizeof *fixed) {
        check(0, "VerQueryValueW \\ gives VS_FIXEDFILEINFO", "nothing");
        return;
    }
    check_number(fixed->dwSignature == 0xFEEF04BD, "signature 0xFEEF04BD", fixed->dwSignature);
    check_number(fixed->dwStrucVersion == 0x00010000, "structure version 0x00010000",
                 fixed->dwStrucVersion);
    check(fixed->dwFileVersionMS == 0x00030001 && fixed->dwFileVersionLS == 0x00000002,
          "file version 3.1.0.2", quad(fixed->dwFileVersionMS, fixed->dwFileVersionLS, text));
    check(fixed->dwProductVersionMS == 0x00030001 && fixed->dwProductVersionLS == 0,
          "product version 3.1.0.0",
          quad(fixed->dwProductVersionMS, fixed->dwProductVersionLS, text));
    check_number(fixed->dwFileFlagsMask == 0x3F, "flags mask 0x3F", fixed->dwFileFlagsMask);
    check_number(fixed->dwFileFlags == 0, "flags 0", fixed->dwFileFlags);
    check_number(fixed->dwFileOS == VOS_NT_WINDOWS32, "OS VOS_NT_WINDOWS32", fixed->dwFileOS);
    check_number(fixed->dwFileType == VFT_DLL, "type VFT_DLL", fixed->dwFileType);
    check_number(fixed->dwFileSubtype == VFT2_DRV_KEYBOARD, "subtype VFT2_DRV_KEYBOARD",
                 fixed->dwFileSubtype);
    check_number(fixed->dwFileDateMS == 0 && fixed->dwFileDateLS == 0, "date 0",
                 fixed->dwFileDateLS);
}

static void check_translation(const void *info)
{
    WORD *pair = NULL;
    UINT length = 0;
    char found[48] = "nothing";
    if (VerQueryValueW(info, L"\\VarFileInfo\\Translation", (void **)&pair, &length) && pair)
        snprintf(found, sizeof found, "%u bytes, 0x%04X 0x%04X", length,
                 length >= 4 ? pair[0] : 0, length >= 4 ? pair[1] : 0);
    check(pair && length == 4 && pair[0] == 0x0419 && pair[1] == 0x04B0,
          "Translation is 0x0419, 0x04B0", found);
}

static void check_version_strings(const void *info)
{
    static const struct {
        const WCHAR *path;
        const WCHAR *text;
        const char *what;
    } strings[] = {
        {L"\\StringFileInfo\\041904B0\\ProductVersion", L"3.1", "ProductVersion"},
        {L"\\StringFileInfo\\041904B0\\OriginalFilename", L"Wendol.dll", "OriginalFilename"},
        {L"\\StringFileInfo\\041904B0\\InternalName", L"Wendol", "InternalName"},
    };
    static const struct {
        const WCHAR *path;
        const char *what;
    } present[] = {
        {L"\\StringFileInfo\\041904B0\\CompanyName", "CompanyName has a text"},
        {L"\\StringFileInfo\\041904B0\\LegalCopyright", "LegalCopyright has a text"},
        {L"\\StringFileInfo\\041904B0\\FileDescription", "FileDescription has a text"},
        {L"\\StringFileInfo\\041904B0\\ProductName", "ProductName has a text"},
    };
    WCHAR *value;
    UINT length;
    char found[512];
    size_t i;

    for (i = 0; i < sizeof strings / sizeof strings[0]; i++) {
        value = NULL;
        length = 0;
        if (!VerQueryValueW(info, strings[i].path, (void **)&value, &length))
            value = NULL;
        /* the length counts the NUL */
        check_text(strings[i].what, value, length ? (int)length - 1 : 0, strings[i].text);
    }
    for (i = 0; i < sizeof present / sizeof present[0]; i++) {
        value = NULL;
        length = 0;
        if (!VerQueryValueW(info, present[i].path, (void **)&value, &length))
            value = NULL;
        check(value && length > 1, present[i].what,
              shown(value, length ? (int)length - 1 : 0, found, sizeof found));
    }
    value = NULL;
    length = 0;
    check(!VerQueryValueW(info, L"\\StringFileInfo\\041904B0\\FileVersion", (void **)&value,
                          &length),
          "no FileVersion string", value ? shown(value, (int)length, found, sizeof found)
                                         : "nothing");
}

static void check_version(const WCHAR *path)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &handle);
    void *info;
    check_number(size > 0, "GetFileVersionInfoSizeW finds the version resource", size);
    if (!size)
        return;
    info = HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
    if (!info || !GetFileVersionInfoW(path, 0, size, info)) {
        check(0, "GetFileVersionInfoW reads the version resource", "a failure");
        return;
    }
    check_fixed(info);
    check_translation(info);
    check_version_strings(info);
    HeapFree(GetProcessHeap(), 0, info);
}

int main(int argc, char **argv)
{
    WCHAR path[MAX_PATH];
    HMODULE module;

    if (argc != 2 || !MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH)) {
        fprintf(stderr, "usage: resources PATH\\Wendol.dll\n");
        return 2;
    }

    module = LoadLibraryExW(path, NULL, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    {
        char found[48] = "a module";
        if (!module)
            snprintf(found, sizeof found, "error %lu", GetLastError());
        check(module != NULL, "LoadLibraryExW maps the module as an image resource", found);
    }
    if (module) {
        check_directory(module);
        check_strings(module);
        FreeLibrary(module);
    }
    check_version(path);

    printf("resources: %d checks passed, %d failed\n", passes, failures);
    return failures ? 1 : 0;
}
