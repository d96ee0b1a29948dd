#pragma once
// DLLs from the system folder only. The program imports statically only DLLs that
// Windows always takes from its own folder (the "known DLLs"); the others (WinINet,
// version information, the multimedia timer, CNG, rich edit) are loaded by these
// functions, so that a file of the same name beside the program is never loaded.
#include <windows.h>

// Makes the system folder the only folder that later loads search, where Windows
// offers it (SetDefaultDllDirectories, missing on an unpatched Windows 7), and takes
// the current folder out of the search in any case. Called first thing at start.
void RestrictDllSearch();
// The DLL of that name from the system folder, loaded once; null when it is missing.
HMODULE LoadSystemLibrary(const wchar_t* name);
// The address of function name in the system folder's DLL dll; null when it is missing.
FARPROC SystemProcAddress(const wchar_t* dll, const char* name);

// The function F of a system DLL as a typed pointer; null when it is missing.
template <typename F> F SystemFunction(const wchar_t* dll, const char* name) {
    // Through the generic function type, which converts to any other without a warning.
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(SystemProcAddress(dll, name)));
}

// The system DLL's function of the same name and type as the declaration ::name, looked
// up once per place of use; null when it is missing.
#define SYSTEM_FUNCTION(dll, name)                                                                 \
    ([]() {                                                                                        \
        static const auto function = SystemFunction<decltype(&::name)>(dll, #name);                \
        return function;                                                                           \
    }())
