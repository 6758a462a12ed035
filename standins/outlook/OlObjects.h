// The stand-in Outlook's automation objects: application, MAPI namespace,
// folder, item collection, contact and distribution-list items, and the
// class factory that DllGetClassObject hands out.
#pragma once

#include <string>

#include "platform/com/Com.h"

// {0006F03A-0000-0000-C000-000000000046}, the class of "Outlook.Application".
extern const CLSID CLSID_OlStandinApplication;

// A new class factory for the application class (one reference), or none.
IClassFactory* NewOlClassFactory();

// Whether any stand-in object has a member of that name (lower case).
bool OlIsMemberName(const std::string& sLowerName);
