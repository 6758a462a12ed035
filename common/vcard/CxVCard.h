// vCard files to contact records and back.
//
// Reading takes vCard 2.1, 3.0 and 4.0 (folded lines, groups, parameters with
// or without TYPE=, backslash escapes, quoted-printable and base64 values,
// CHARSET on 2.1, a byte-order mark, CR LF or LF lines) and turns every card
// it can read into one record. A problem never stops the read: it is noted in
// the report with the card's number and the file's line, and what can be read
// is kept. The whole file is read before the caller gets any record, so a
// caller can import all or nothing.
//
// Writing gives vCard 3.0 or 4.0 with CR LF lines folded at 75 octets (never
// inside a UTF-8 character). Fields without a standard property are written
// as X-PELLMARK-... properties, so a file written here reads back to the same
// records.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/model/CommAddr.h"

#define VCARD_VERSION_30 30
#define VCARD_VERSION_40 40

// One problem met while reading.
struct CxVCardIssue {
    int nCard;  // 1-based number of the card, 0 for text outside any card
    int nLine;  // 1-based line of the file where the problem starts
    std::string szText;
};

struct CxVCardReport {
    int nCards = 0;       // cards begun in the file (BEGIN:VCARD)
    int nSkipped = 0;     // cards that gave no record (empty, or beyond the limit)
    int nCut = 0;         // values shortened to their field's width
    int nUnplaced = 0;    // values left out because their fields were already taken
    bool bFailed = false;  // the file could not be read at all (see szError)
    std::string szError;
    std::vector<CxVCardIssue> issues;  // the first kMaxIssues problems
    int nIssuesLeftOut = 0;            // problems beyond those

    static constexpr size_t kMaxIssues = 1000;
};

struct CxVCardLimits {
    size_t nMaxRecords = 50000;              // cards after this many records are skipped
    size_t nMaxFileBytes = 256u * 1024 * 1024;  // larger files are refused
};

class CxVCard {
public:
    // Reads the cards of a buffer and appends one record per readable card to
    // addrs (zero-filled records, no side data). Returns false only when
    // nothing could be read at all (report.bFailed).
    static bool Read(const char* pData, size_t nSize, std::vector<CommAddr>& addrs, CxVCardReport& report,
                     const CxVCardLimits& limits = CxVCardLimits());

    // Reads a whole file the same way; a file that cannot be opened or is too
    // large fails with report.szError.
    static bool ReadFile(const char* szPath, std::vector<CommAddr>& addrs, CxVCardReport& report,
                         const CxVCardLimits& limits = CxVCardLimits());

    // Appends one card for the record to out (VCARD_VERSION_30 or _40).
    static void Write(const CommAddr& addr, int nVersion, std::string& out);

    // Writes the records as one file, replacing it through a temporary file.
    // Returns false with szError set when the file cannot be written.
    static bool WriteFile(const char* szPath, const std::vector<const CommAddr*>& addrs, int nVersion,
                          std::string& szError);

    // An issue as a user reads it: "card 3, line 17: ..." ("line 2: ..." for
    // text outside any card).
    static std::string FormatIssue(const CxVCardIssue& issue);

    // Folds one unfolded line (without its line end) at 75 octets and appends
    // it with CR LF to out.
    static void AppendFolded(const std::string& szLine, std::string& out);
};
