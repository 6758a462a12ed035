// Test hooks of the stand-in Outlook (olstandin.so), exported with C names.
// Tests reach them through the loader in tests/support/StandinHooks.h.
//
// Failing calls. OlStandinSetFail takes a failure list in the form both
// stand-ins share (standins/FailList.h): comma-separated entries
//     <name>[:<qualifier>][#n]
// null or "" clears it; a list with an unknown entry is refused whole (the
// hook returns false and nothing changes). The list is also read from
// $PELLMARK_OUTLOOK_FAIL each time an application object is created (entries
// add to those set by the hook); an unknown entry there makes the creation
// fail with E_INVALIDARG and is reported on stderr. An entry makes the call
// <name> fail with the code given below; the qualifier ":empty" makes it
// succeed with a VT_EMPTY result instead, ":null" succeed with VT_DISPATCH
// and a null object (both for calls that give an object); "#n" hits only the
// n-th such call (counting from 1) after the list was set. Names:
//     Create            class factory CreateInstance: CO_E_SERVER_EXEC_FAILURE
//     OleRun            IRunnableObject::Run of the application: E_FAIL
//     QueryInterface    the application's QueryInterface for IDispatch:
//                       E_NOINTERFACE
//     GetNameSpace, GetDefaultFolder, Items, GetFirst, GetNext, Add, Item,
//     Count, Save, Name, StoreID, or any contact property read by name
//                       Invoke of that member: DISP_E_EXCEPTION
//     put:<Property>    property put of that writable item property (e.g.
//                       put:FirstName; "put" alone: every put):
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
// Sets the failure list (see above); null or "" clears it. False, with
// nothing changed, when an entry is unknown.
bool OlStandinSetFail(const char* szList);
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
