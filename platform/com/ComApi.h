// The COM library: apartments, class lookup through the registry, creation of
// in-process objects, and the running state.
#pragma once

#include "platform/com/OleAuto.h"
#include "platform/com/Unknwn.h"

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2

#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_REMOTE_SERVER 0x10
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER)

// Initialises COM on the calling thread: S_OK the first time, S_FALSE when it
// already is (in the same mode), RPC_E_CHANGED_MODE for another mode. Every
// successful call is matched by one CoUninitialize.
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
HRESULT CoInitialize(LPVOID pvReserved);
void CoUninitialize();

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}" to a GUID and back. CLSIDFromString
// gives CO_E_CLASSSTRING for malformed text (braces are required);
// StringFromGUID2 returns the characters written with the NUL (39), or 0 when
// cchMax is too small.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);

// The class of a program identifier: HKEY_CLASSES_ROOT "<ProgID>\CLSID",
// default value. CO_E_CLASSSTRING when it is not registered or not a class
// identifier; E_INVALIDARG without arguments. Needs no CoInitializeEx.
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);

// Creates an object of an in-process class: HKEY_CLASSES_ROOT
// "CLSID\{...}\InprocServer32" default value names the library, which is
// loaded with LoadLibraryA (and kept loaded until the process ends), its
// DllGetClassObject gives the class factory, and the factory's
// CreateInstance the object.
// Results: CO_E_NOTINITIALIZED when the thread has not initialised COM,
// E_POINTER / E_INVALIDARG for missing arguments, REGDB_E_CLASSNOTREG when the
// class is not registered or CLSCTX_INPROC_SERVER is not in dwClsContext,
// HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) when the library cannot be loaded,
// CO_E_ERRORINDLL when it exports no DllGetClassObject, else the code of
// DllGetClassObject or CreateInstance. *ppv is null on every failure.
HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv);

// Puts an object into its running state: calls IRunnableObject::Run when the
// object offers that interface and returns its code; S_OK otherwise.
// E_INVALIDARG without an object.
HRESULT OleRun(LPUNKNOWN pUnknown);

// What an in-process server library exports.
typedef HRESULT (*LPFNGETCLASSOBJECT)(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
