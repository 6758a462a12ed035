// A thin wrapper over the private-profile functions for one INI file.
#pragma once

class CxIniUtil {
public:
    // The file is szFolder followed directly by szFileName, or the program's
    // folder followed by szFileName when szFolder is missing or empty. A path
    // that would not fit in 260 bytes leaves the file name empty.
    CxIniUtil(const char* szFolder, const char* szFileName);
    virtual ~CxIniUtil();

    // Points at another file; a missing or empty path, or one of 260 bytes
    // or more, changes nothing.
    void SetIniFile(const char* szPath);
    const char* GetIniFile() const { return m_szIniFile; }

    // A missing or empty section means m_szSection in every operation.

    // Copies the value (or szDefault) cut to nSize - 1 bytes into szBuf and
    // returns its length; 0 without reading for a missing or empty key, no
    // buffer, or a size of 0.
    int ReadString(const char* szSection, const char* szKey, char* szBuf, int nSize, const char* szDefault);
    // The value as a signed decimal in the manner of atol (leading blanks,
    // an optional sign, digits up to the first other character; 0 without
    // digits; clamped to the 32-bit range); nDefault when missing or empty.
    int ReadInt(const char* szSection, const char* szKey, int nDefault);
    // ReadInt with the default as 0 or 1; true when non-zero.
    bool ReadBool(const char* szSection, const char* szKey, bool bDefault);

    // Writes key=text (none is ""); returns the private-profile function's
    // result, or 0, writing nothing, for a missing or empty key.
    int WriteString(const char* szSection, const char* szKey, const char* szText);
    int WriteInt(const char* szSection, const char* szKey, int nValue);    // "%d"
    int WriteBool(const char* szSection, const char* szKey, bool bValue);  // 1 or 0

private:
    const char* Section(const char* szSection) const;

    char m_szSection[32];  // default section; stays empty
    char m_szIniFile[260];
};

// The settings file accessor, first pointing at "tessaro.ini" in the
// program's folder.
extern CxIniUtil g_IniFile;
