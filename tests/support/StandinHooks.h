// The test hooks of the two stand-ins, looked up in their libraries beside
// the test program. A library loaded here stays loaded for the life of the
// test program, so its counters stay valid when the code under test frees
// its own handle. Setting a failure list the stand-in refuses (an unknown
// name) fails the calling test.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include "platform/wab/WabApi.h"
#include "platform/win32/WinTypes.h"

// The folder of the running program, ending with '/'.
std::string ProgramFolder();

// Loads <program folder>/szFile and fills each hook with the export of its
// name; false when the library or any export is missing.
bool LoadStandinHooks(const char* szFile, std::initializer_list<std::pair<void**, const char*>> hooks);

// The stand-in Outlook, olstandin.so (standins/outlook/OlStandin.h).
struct OlStandinHooks {
    long (*LiveObjects)(void) = nullptr;
    bool (*pfnSetFail)(const char*) = nullptr;
    long (*CallCount)(const char*) = nullptr;
    bool (*Destroyed)(char*, int) = nullptr;
    void (*ResetCounts)(void) = nullptr;
    bool (*DataFile)(char*, int) = nullptr;
    void (*SetFixedTime)(const SYSTEMTIME*) = nullptr;
    int (*Command)(int, const char* const*, FILE*, FILE*) = nullptr;

    static std::string LibraryPath() { return ProgramFolder() + "olstandin.so"; }
    bool Load();
    // Sets the failure list (null clears it); false, and the test fails,
    // when the stand-in refuses it.
    bool SetFail(const char* szList);
};

// The stand-in address book, wab32.so (standins/wab32/WabStandin.h).
struct WabStandinHooks {
    LPWABOPEN WABOpen = nullptr;
    long (*LiveObjects)(void) = nullptr;
    long (*OutstandingBuffers)(void) = nullptr;
    long (*BadFrees)(void) = nullptr;
    long (*CallCount)(const char*) = nullptr;
    int (*pfnSetFail)(const char*) = nullptr;

    static std::string LibraryPath() { return ProgramFolder() + "wab32.so"; }
    bool Load();
    // As OlStandinHooks::SetFail.
    bool SetFail(const char* szList);
};
