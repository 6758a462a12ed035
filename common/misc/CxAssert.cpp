#include "common/misc/CxAssert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void CxAssertFail(const char* szCondition, const char* szFile, int nLine) {
    // The build maps source paths to repository-relative ones; the extension
    // is dropped so the message names the module ("common/misc/CxList").
    const char* szPath = szFile ? szFile : "";
    const char* szDot = strrchr(szPath, '.');
    const char* szSlash = strrchr(szPath, '/');
    int nLen = static_cast<int>(strlen(szPath));
    if (szDot && (!szSlash || szDot > szSlash)) nLen = static_cast<int>(szDot - szPath);
    fprintf(stderr, "Assertion failed: %s, file %.*s, line %d\n", szCondition ? szCondition : "", nLen, szPath, nLine);
    fflush(stderr);
    abort();
}
