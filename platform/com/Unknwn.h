// The base COM interfaces, as abstract classes whose virtual functions are in
// the Windows vtable order, and their interface identifiers.
#pragma once

#include "platform/com/ComErrors.h"
#include "platform/win32/WinTypes.h"

typedef GUID* LPGUID;
typedef IID* LPIID;

// {00000000-0000-0000-0000-000000000000}
extern const IID IID_NULL;
#define CLSID_NULL IID_NULL
// {00000000-0000-0000-C000-000000000046}
extern const IID IID_IUnknown;
// {00000001-0000-0000-C000-000000000046}
extern const IID IID_IClassFactory;
// {00020400-0000-0000-C000-000000000046}
extern const IID IID_IDispatch;
// {00000126-0000-0000-C000-000000000046}
extern const IID IID_IRunnableObject;

inline bool IsEqualGUID(REFGUID a, REFGUID b) { return a == b; }
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

class IUnknown {
public:
    // S_OK and an added reference in *ppvObject, or E_NOINTERFACE and null;
    // E_POINTER without ppvObject.
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    // Returns the count left; the object is gone when it reaches 0.
    virtual ULONG Release() = 0;
};
typedef IUnknown* LPUNKNOWN;

class IClassFactory : public IUnknown {
public:
    // A new object's interface riid; CLASS_E_NOAGGREGATION for an outer object.
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;
};
typedef IClassFactory* LPCLASSFACTORY;

// A bind context is never used here; callers pass null.
class IBindCtx;
typedef IBindCtx* LPBINDCTX;

// What OleRun asks an object for to put it into its running state.
class IRunnableObject : public IUnknown {
public:
    virtual HRESULT GetRunningClass(LPCLSID lpClsid) = 0;
    virtual HRESULT Run(LPBINDCTX pbc) = 0;
    virtual BOOL IsRunning() = 0;
    virtual HRESULT LockRunning(BOOL fLock, BOOL fLastUnlockCloses) = 0;
    virtual HRESULT SetContainedObject(BOOL fContained) = 0;
};
