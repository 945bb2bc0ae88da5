// lsan_suppressions.cpp - libxkbcommon 1.5 leaks the paths it builds while
// following a rules file's "! include" (as the installed rules/evdev does),
// a few hundred bytes a keymap.  The leak is the library's: LeakSanitizer is
// told to pass over it.  Without frame pointers in the library the stack
// ends in vasprintf, which nothing of the toolkit calls.
extern "C" const char *__lsan_default_suppressions();

extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libxkbcommon.so\n"
           "leak:__vasprintf_internal\n";
}
