// The process-wide debug log "appdebug.log": one line per message, appended
// by opening, writing and closing the file, rotated to "<file>.old.log" when
// it has grown past 10,485,760 bytes.
#pragma once

#include <cstdarg>
#include <mutex>

#define LOG_CRITICAL 0  // errors: always written, marked "!!!"
#define LOG_HIGH 1
#define LOG_MEDIUM 2  // the progress of the Outlook side
#define LOG_LOW 3

// A log file larger than this is moved aside before the next line.
#define LOG_ROTATE_SIZE 10485760L

class CxDebugUtil {
public:
    CxDebugUtil();
    virtual ~CxDebugUtil();

    // Folder in front of the file name, with its trailing separator (none is
    // added); at most 259 characters kept; none changes nothing.
    void SetFolder(const char* szFolder);
    // Detail level, clamped to 0..3.
    void SetLevel(int nLevel);
    // Switches the log on or off; level-0 lines are written either way.
    void Enable(bool bEnable);

    const char* GetFolder() const { return m_szFolder; }
    const char* GetFileName() const { return m_szFileName; }
    int GetLevel() const { return m_nLevel; }
    bool IsEnabled() const { return m_bEnable; }

    // Writes one line when nLevel is 0, or when the log is on and nLevel is
    // not above the level setting. The format is printf's, checked by the
    // compiler (wide texts are converted to UTF-8 by the caller); a message
    // is cut to 40959 bytes, never inside a UTF-8 character. szFile is the
    // caller's __FILE__: only the part after its last '/' or '\' is written.
    void Print(int nLevel, const char* szFile, int nLine, const char* szFormat, ...)
        __attribute__((format(printf, 5, 6)));
    void PrintV(int nLevel, const char* szFile, int nLine, const char* szFormat, va_list args)
        __attribute__((format(printf, 5, 0)));

    // Writes one line unconditionally, in the format
    // "[yyyy/mm/dd hh:mm:ss][source              (line)][thread][mark] - text".
    // Lines from different threads never interleave. A path that does not
    // fit in 260 bytes with ".old.log" added is not written at all.
    void Write(int nLevel, const char* szFile, int nLine, const char* szText);

private:
    char m_szFileName[260];
    char m_szFolder[260];
    int m_nLevel;
    bool m_bEnable;
    std::mutex m_csLock;  // serializes Write
};

extern CxDebugUtil g_DebugUtil;
