// Assertions for programming errors: a failed one names the condition as
// written, the source path relative to the repository without its extension
// and the line, then stops the program. Ordinary input never reaches one.
#pragma once

[[noreturn]] void CxAssertFail(const char* szCondition, const char* szFile, int nLine);

#define CX_ASSERT(cond) ((cond) ? (void)0 : CxAssertFail(#cond, __FILE__, __LINE__))

// Running out of memory is not a programming error and is not asserted.
// The rule: plain `new`, whose std::bad_alloc travels to the three places
// that catch exceptions (around the entry routine, the first load of the
// contacts and a synchronization run), which show the error report. Only
// an operation that must report running out through its result allocates
// with `new (std::nothrow)` or malloc and checks for none: the list's
// AddCopy (and the list node it adds), its side-data copy, and the Outlook
// store's block for a new contact.
