// Sets or unsets one environment variable for the life of the object and puts
// back what was there before, so a test that changes the environment cannot
// leak the change into the next one.
#pragma once

#include <cstdlib>
#include <string>

class ScopedEnv {
public:
    // Sets szName to szValue; a null szValue unsets it.
    ScopedEnv(const char* szName, const char* szValue) : m_sName(szName) {
        const char* szOld = getenv(szName);
        m_bHad = szOld != nullptr;
        if (m_bHad) m_sOld = szOld;
        Set(szValue);
    }
    ScopedEnv(const char* szName, const std::string& sValue) : ScopedEnv(szName, sValue.c_str()) {}
    ~ScopedEnv() { Set(m_bHad ? m_sOld.c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    // Changes the value again; the original still comes back at the end.
    void Set(const char* szValue) {
        if (szValue)
            setenv(m_sName.c_str(), szValue, 1);
        else
            unsetenv(m_sName.c_str());
    }

private:
    std::string m_sName;
    std::string m_sOld;
    bool m_bHad = false;
};
