// The failure list a test gives either stand-in: which calls are to fail and
// how. A list is comma-separated entries
//     <name>[:<qualifier>][#<n>]
// with spaces around an entry ignored. Names and qualifiers compare without
// regard to ASCII case. A bare name covers every form of the call; a
// qualifier narrows it to one form or picks what the failing call does (each
// stand-in's header lists its names and qualifiers). "#n" (n from 1) hits
// only the n-th call the entry matches, counted from when the list was set;
// without it every matching call fails. An entry the stand-in does not know
// makes the whole list invalid, so a misspelt name cannot pass unnoticed.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

class CFailList {
public:
    // Whether the stand-in knows sName with sQualifier ("" for none); both
    // come in lower case.
    typedef bool (*KnownFn)(const std::string& sName, const std::string& sQualifier);

    explicit CFailList(KnownFn pfnKnown) : m_pfnKnown(pfnKnown) {}

    // Replaces the entries with szList; null or "" clears them. An unknown
    // entry or a bad count changes nothing and returns false, with the
    // offending entry in *psError.
    bool Set(const char* szList, std::string* psError = nullptr);
    bool Empty() const { return m_Entries.empty(); }

    // Counts a call of szName against every entry for that name whose
    // qualifier is one of qualifiers ("" standing for the bare name). Returns
    // the index in qualifiers of the first entry that hits, or -1 when the
    // call is to run. Not thread-safe: the stand-in holds its lock.
    int Hit(const char* szName, std::initializer_list<const char*> qualifiers);

private:
    struct Entry {
        std::string sName;       // lower case
        std::string sQualifier;  // lower case; empty for the bare name
        long nNth = 0;           // 0: every call
        long nSeen = 0;
    };
    KnownFn m_pfnKnown;
    std::vector<Entry> m_Entries;
};
