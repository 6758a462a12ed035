// Test hooks of the stand-in Outlook (olstandin.so), exported with C names.
// A test reaches them through OlStandinHooks below, which looks them up in
// the library beside the test program (loading it if COM has not yet).
//
// Failing calls. OlStandinSetFail takes a comma-separated list of entries;
// null or "" clears it. The list is also read from $PELLMARK_OUTLOOK_FAIL
// each time an application object is created (entries add to those set by the
// hook). An entry is
//     <name>[:empty|:null][@n]
// and makes the call <name> fail with the code given below; ":empty" makes
// it succeed with a VT_EMPTY result instead, ":null" succeed with VT_DISPATCH
// and a null object (both for calls that give an object); "@n" hits only the
// n-th such call (counting from 1) after the list was set. Names:
//     Create            class factory CreateInstance: CO_E_SERVER_EXEC_FAILURE
//     OleRun            IRunnableObject::Run of the application: E_FAIL
//     QueryInterface    the application's QueryInterface for IDispatch:
//                       E_NOINTERFACE
//     GetNameSpace, GetDefaultFolder, Items, GetFirst, GetNext, Add, Item,
//     Count, Save, Name, StoreID, or any contact property read by name
//                       Invoke of that member: DISP_E_EXCEPTION
//     put:<Property>    property put of that member (e.g. put:FirstName):
//                       DISP_E_EXCEPTION
// Names compare without regard to case. A failing call changes nothing.
//
// Without a failure entry the stand-in answers as Outlook does: an unknown
// member name gives DISP_E_UNKNOWNNAME from GetIDsOfNames, an argument of the
// wrong type DISP_E_TYPEMISMATCH, a missing or extra argument
// DISP_E_BADPARAMCOUNT, "Item" outside 1..Count DISP_E_BADINDEX, a put on a
// read-only property ("EntryID", "CreationTime", ...) or a get/put of a method
// DISP_E_MEMBERNOTFOUND. "GetNext" past the end and "GetFirst" on an empty
// folder succeed with VT_EMPTY.
//
// The Contacts folder is the SQLite file named by the registry value
// HKEY_CURRENT_USER "Software\Pellmark\OutlookStandin" "ContactsFile" when it
// is set, else "<data home>/OlStandin/contacts.db" (data home: $XDG_DATA_HOME,
// else $HOME/.local/share). A missing file is created empty.
#pragma once

#include <cstdio>

#include "platform/win32/WinTypes.h"

extern "C" {
// Stand-in COM objects alive now (factories, application, namespace, folders,
// collections, items). 0 once every reference has been released.
long OlStandinLiveObjects(void);
// Sets the failure list (see above); null or "" clears it.
void OlStandinSetFail(const char* szList);
// Invoke calls of the member szName since the last reset (any kind: get, put,
// method); null counts every Invoke. GetIDsOfNames calls are counted under
// the name "GetIDsOfNames".
long OlStandinCallCount(const char* szName);
// The kinds of the objects destroyed since the last reset, in order and
// comma-separated ("Folder,NameSpace,Application"), into szBuf; false when
// it does not fit. Kinds: ClassFactory, Application, NameSpace, Folder,
// Items, Item.
bool OlStandinDestroyed(char* szBuf, int nBufLen);
// Clears the call counts and the destruction trace.
void OlStandinResetCounts(void);
// The Contacts file that a new application object opens now, into szBuf;
// false when it does not fit.
bool OlStandinDataFile(char* szBuf, int nBufLen);
// Fixes the clock the stand-in stamps items with ("CreationTime",
// "LastModificationTime"); none returns to the real clock. The stand-in keeps
// its own clock, apart from the program's SetFixedLocalTime.
void OlStandinSetFixedTime(const SYSTEMTIME* pst);
// Runs the command line of OUTLOOK.EXE in this process (argv[0] is the
// program name) writing to out and err; returns the exit code. See
// "OUTLOOK.EXE help".
int OlStandinCommand(int argc, const char* const* argv, FILE* out, FILE* err);
}

#include <dlfcn.h>
#include <climits>
#include <string>
#include <unistd.h>

// The hooks, looked up in <folder of the program>/olstandin.so.
struct OlStandinHooks {
    long (*LiveObjects)(void) = nullptr;
    void (*SetFail)(const char*) = nullptr;
    long (*CallCount)(const char*) = nullptr;
    bool (*Destroyed)(char*, int) = nullptr;
    void (*ResetCounts)(void) = nullptr;
    bool (*DataFile)(char*, int) = nullptr;
    void (*SetFixedTime)(const SYSTEMTIME*) = nullptr;
    int (*Command)(int, const char* const*, FILE*, FILE*) = nullptr;

    static std::string LibraryPath() {
        char szExe[PATH_MAX] = {0};
        ssize_t n = readlink("/proc/self/exe", szExe, sizeof(szExe) - 1);
        std::string sPath = n > 0 ? std::string(szExe, (size_t)n) : std::string();
        size_t nSlash = sPath.rfind('/');
        return (nSlash == std::string::npos ? std::string(".") : sPath.substr(0, nSlash)) + "/olstandin.so";
    }
    // False when the library or one of its hooks cannot be found.
    bool Load() {
        void* h = dlopen(LibraryPath().c_str(), RTLD_NOW);
        if (h == nullptr) return false;
        LiveObjects = (long (*)(void))dlsym(h, "OlStandinLiveObjects");
        SetFail = (void (*)(const char*))dlsym(h, "OlStandinSetFail");
        CallCount = (long (*)(const char*))dlsym(h, "OlStandinCallCount");
        Destroyed = (bool (*)(char*, int))dlsym(h, "OlStandinDestroyed");
        ResetCounts = (void (*)(void))dlsym(h, "OlStandinResetCounts");
        DataFile = (bool (*)(char*, int))dlsym(h, "OlStandinDataFile");
        SetFixedTime = (void (*)(const SYSTEMTIME*))dlsym(h, "OlStandinSetFixedTime");
        Command = (int (*)(int, const char* const*, FILE*, FILE*))dlsym(h, "OlStandinCommand");
        return LiveObjects && SetFail && CallCount && Destroyed && ResetCounts && DataFile && SetFixedTime && Command;
    }
};
