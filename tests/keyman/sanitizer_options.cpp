// sanitizer_options.cpp - Keyman Core 16.0.138 frees a keyboard's tables
// with delete where it made them with new[], and keeps two blocks (some
// 4 KiB) of every keyboard it loads.  Both are the library's, inside
// km_kbp_keyboard_load and km_kbp_keyboard_dispose.  The leaks are passed
// over in that library only; the new[]/delete check cannot be scoped to one
// library, so it is off for this program (the wrappers use neither).
extern "C" const char *__asan_default_options();
extern "C" const char *__lsan_default_suppressions();

extern "C" const char *__asan_default_options()
{
    return "alloc_dealloc_mismatch=0";
}

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libkmnkbp0.so\n";
}
