// The automation connection to Outlook, shared by every OlBaseUtil-derived
// object of the process through a use count: the first Connect creates and
// runs Outlook's application object and gets its "MAPI" namespace; later
// ones only count; the Disconnect that gives back the last use releases the
// namespace, the application and the object as created, in that order.
//
// Construction calls Init (one Connect); destruction calls Clear and Term
// (one Disconnect). Progress goes to the debug log at level 2, each failed
// start step as one level-0 line.
#pragma once

#include "common/misc/DispCmd.h"
#include "platform/com/Com.h"

class OlBaseUtil {
public:
    OlBaseUtil();
    virtual ~OlBaseUtil();

    OlBaseUtil(const OlBaseUtil&) = delete;
    OlBaseUtil& operator=(const OlBaseUtil&) = delete;

    // The virtual operations, in slot order after the destructor.
    virtual bool Load();        // Clear, then true
    virtual void Clear();       // nothing here
    virtual void Init();        // Connect (result not used)
    virtual void Term();        // Clear, then Disconnect
    // Takes one use of the shared connection, starting it when none exists.
    // False when the start failed; the use is then given back.
    virtual bool Connect();
    // Gives back one use; never goes below 0, so calling it too often
    // releases nothing a second time.
    virtual void Disconnect();

    // Shared state, for callers that need to know whether Outlook is reached.
    static bool IsStarted() { return s_bStarted; }
    static DWORD GetUseCount() { return s_nUseCount; }

protected:
    CDispCmd* m_pApp;        // copy of s_pApp, not owned
    CDispCmd* m_pNameSpace;  // copy of s_pNameSpace, not owned
    IUnknown* m_pUnknown;    // copy of s_pUnknown, not owned

private:
    static bool s_bStarted;
    static DWORD s_nUseCount;
    static CDispCmd* s_pApp;
    static CDispCmd* s_pNameSpace;
    static IUnknown* s_pUnknown;
};
