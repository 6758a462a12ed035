// Calls a test has asked to fail, and the call counters (see OlStandin.h).
#pragma once

#include <string>

#include "platform/win32/WinTypes.h"

// What a listed call does instead of its work.
enum OlFailMode {
    OL_FAIL_NONE,   // not listed: the call runs
    OL_FAIL_CODE,   // returns its failure code
    OL_FAIL_EMPTY,  // succeeds with a VT_EMPTY result
    OL_FAIL_NULL    // succeeds with a null object
};

// Whether this call of szName (a member, "Create", "OleRun",
// "QueryInterface") is to fail, and how, counting it against the entries'
// "#n".
OlFailMode OlCheckFail(const std::string& sName);
// Whether this property put of the member sName is to fail.
bool OlCheckPutFail(const std::string& sName);

// Replaces the entries that came from $PELLMARK_OUTLOOK_FAIL with its value
// now (done at every creation of an application object). An unknown entry
// clears them, is reported on stderr and returns false.
bool OlReadFailEnvironment();

// Counts one Invoke of the member, or one GetIDsOfNames call.
void OlCountCall(const std::string& sName);

// Objects alive, counted by every stand-in object's constructor and destructor.
// szKind names the object in the destruction trace ("Application", ...).
void OlObjectCreated();
void OlObjectDestroyed(const char* szKind);

// The time the stand-in stamps on items: the local time as an OLE date.
double OlNow();
