// Apartments, class lookup through the registry and in-process creation.
#include "platform/com/ComApi.h"

#include <map>
#include <mutex>
#include <string>

#include "platform/com/WinNls.h"
#include "platform/win32/WinLibrary.h"
#include "platform/win32/WinReg.h"

namespace {

// COM initialisation of this thread: how many calls are outstanding, and the
// mode of the first.
thread_local int t_nInitCount = 0;
thread_local DWORD t_dwInitMode = 0;

std::string ToUtf8(LPCOLESTR psz) {
    std::string s;
    int n = WideCharToMultiByte(CP_UTF8, 0, psz, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return s;
    s.resize((size_t)n);
    WideCharToMultiByte(CP_UTF8, 0, psz, -1, &s[0], n, nullptr, nullptr);
    s.resize((size_t)n - 1);
    return s;
}

// The default text value of HKEY_CLASSES_ROOT\<szKey>; false when missing.
bool ReadClassesRootText(const std::string& sKey, std::string* psValue) {
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, sKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
    bool bOk = false;
    DWORD dwType = 0, cb = 0;
    if (RegQueryValueExA(hKey, nullptr, nullptr, &dwType, nullptr, &cb) == ERROR_SUCCESS &&
        (dwType == REG_SZ || dwType == REG_EXPAND_SZ) && cb > 0) {
        std::string s(cb, '\0');
        if (RegQueryValueExA(hKey, nullptr, nullptr, &dwType, reinterpret_cast<LPBYTE>(&s[0]), &cb) ==
            ERROR_SUCCESS) {
            s.resize(s.find('\0') == std::string::npos ? cb : s.find('\0'));
            *psValue = s;
            bOk = true;
        }
    }
    RegCloseKey(hKey);
    return bOk;
}

// Server libraries stay loaded for the life of the process, as objects and
// class factories they handed out may still be in use anywhere.
std::mutex g_LibraryLock;
std::map<std::string, HMODULE> g_Libraries;

HMODULE LoadServerLibrary(const std::string& sPath) {
    std::lock_guard<std::mutex> lock(g_LibraryLock);
    auto it = g_Libraries.find(sPath);
    if (it != g_Libraries.end()) return it->second;
    HMODULE h = LoadLibraryA(sPath.c_str());
    if (h != nullptr) g_Libraries[sPath] = h;
    return h;
}

}  // namespace

HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
    (void)pvReserved;
    DWORD dwMode = dwCoInit & COINIT_APARTMENTTHREADED;
    if (t_nInitCount > 0) {
        if (dwMode != t_dwInitMode) return RPC_E_CHANGED_MODE;
        ++t_nInitCount;
        return S_FALSE;
    }
    t_nInitCount = 1;
    t_dwInitMode = dwMode;
    return S_OK;
}

HRESULT CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize() {
    if (t_nInitCount > 0) --t_nInitCount;
}

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
    if (lpszProgID == nullptr || lpclsid == nullptr) return E_INVALIDARG;
    std::string sProgID = ToUtf8(lpszProgID);
    std::string sClsid;
    if (sProgID.empty() || !ReadClassesRootText(sProgID + "\\CLSID", &sClsid)) return CO_E_CLASSSTRING;
    WCHAR wsz[64];
    if (sClsid.size() >= 64 || MultiByteToWideChar(CP_UTF8, 0, sClsid.c_str(), -1, wsz, 64) == 0)
        return CO_E_CLASSSTRING;
    CLSID clsid;
    if (FAILED(CLSIDFromString(wsz, &clsid))) return CO_E_CLASSSTRING;
    *lpclsid = clsid;
    return S_OK;
}

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (t_nInitCount == 0) return CO_E_NOTINITIALIZED;
    if ((dwClsContext & CLSCTX_INPROC_SERVER) == 0) return REGDB_E_CLASSNOTREG;
    WCHAR wszClsid[39];
    StringFromGUID2(rclsid, wszClsid, 39);
    std::string sPath;
    if (!ReadClassesRootText("CLSID\\" + ToUtf8(wszClsid) + "\\InprocServer32", &sPath) || sPath.empty())
        return REGDB_E_CLASSNOTREG;
    HMODULE hLib = LoadServerLibrary(sPath);
    if (hLib == nullptr) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    LPFNGETCLASSOBJECT pfnGetClassObject =
        reinterpret_cast<LPFNGETCLASSOBJECT>(GetProcAddress(hLib, "DllGetClassObject"));
    if (pfnGetClassObject == nullptr) return CO_E_ERRORINDLL;
    IClassFactory* pFactory = nullptr;
    HRESULT hr = pfnGetClassObject(rclsid, IID_IClassFactory, reinterpret_cast<void**>(&pFactory));
    if (FAILED(hr)) return hr;
    if (pFactory == nullptr) return CO_E_ERRORINDLL;
    hr = pFactory->CreateInstance(pUnkOuter, riid, ppv);
    pFactory->Release();
    if (FAILED(hr)) *ppv = nullptr;
    return hr;
}

HRESULT OleRun(LPUNKNOWN pUnknown) {
    if (pUnknown == nullptr) return E_INVALIDARG;
    IRunnableObject* pRunnable = nullptr;
    if (FAILED(pUnknown->QueryInterface(IID_IRunnableObject, reinterpret_cast<void**>(&pRunnable))) ||
        pRunnable == nullptr)
        return S_OK;
    HRESULT hr = pRunnable->Run(nullptr);
    pRunnable->Release();
    return hr;
}
