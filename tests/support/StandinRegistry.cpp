#include "support/StandinRegistry.h"

#include <fstream>

#include "support/StandinHooks.h"

namespace {

// A value's text between double quotes: backslashes and quotes escaped.
std::string Quoted(const std::string& s) {
    std::string sOut = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') sOut += '\\';
        sOut += c;
    }
    return sOut + "\"";
}

}  // namespace

bool StandinRegistry::Write(const std::string& sRegFile) const {
    std::ofstream out(sRegFile, std::ios::binary | std::ios::trunc);
    out << "Windows Registry Editor Version 5.00\r\n";
    if (bOutlookClass) {
        out << "\r\n[HKEY_CLASSES_ROOT\\Outlook.Application\\CLSID]\r\n"
            << "@=\"{0006F03A-0000-0000-C000-000000000046}\"\r\n\r\n"
            << "[HKEY_CLASSES_ROOT\\CLSID\\{0006F03A-0000-0000-C000-000000000046}\\InprocServer32]\r\n"
            << "@=" << Quoted(OlStandinHooks::LibraryPath()) << "\r\n";
    }
    if (!sContactsFile.empty()) {
        out << "\r\n[HKEY_CURRENT_USER\\Software\\Pellmark\\OutlookStandin]\r\n"
            << "\"ContactsFile\"=" << Quoted(sContactsFile) << "\r\n";
    }
    if (bWabLibrary) {
        out << "\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\WAB\\DLLPath]\r\n"
            << "@=" << Quoted(WabStandinHooks::LibraryPath()) << "\r\n";
    }
    out.close();
    return !out.fail();
}
