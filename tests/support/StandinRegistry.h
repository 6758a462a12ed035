// The registry file that points the program at the stand-ins beside the test
// or benchmark program: the stand-in Outlook (olstandin.so) as the class of
// Outlook.Application, its Contacts file, and the stand-in address book
// library (wab32.so) as the WAB's DLLPath. The caller points
// PELLMARK_REGISTRY at the file.
#pragma once

#include <string>

struct StandinRegistry {
    bool bOutlookClass = true;  // Outlook.Application registered, served by olstandin.so
    std::string sContactsFile;  // the stand-in Outlook's Contacts file; empty: not named
    bool bWabLibrary = false;   // the WAB DLLPath key, naming wab32.so

    // Writes sRegFile (replacing it) with the keys asked for, CR LF lines,
    // paths escaped as the file format wants; false when it cannot be written.
    bool Write(const std::string& sRegFile) const;
};
