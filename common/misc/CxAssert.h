// Assertions for programming errors: a failed one names the condition as
// written, the source path relative to the repository without its extension
// and the line, then stops the program. Ordinary input never reaches one.
#pragma once

[[noreturn]] void CxAssertFail(const char* szCondition, const char* szFile, int nLine);

#define CX_ASSERT(cond) ((cond) ? (void)0 : CxAssertFail(#cond, __FILE__, __LINE__))
