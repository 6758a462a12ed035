#include <gtest/gtest.h>

#include "common/misc/CxAssert.h"

namespace {

void CheckPointer(const char* szBuf) { CX_ASSERT(szBuf!=NULL); }

TEST(CxAssertDeathTest, NamesConditionPathWithoutExtensionAndLine) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(CheckPointer(nullptr), "Assertion failed: szBuf!=NULL, file tests/misc/test_CxAssert, line 7");
    CheckPointer("fine");
}

}  // namespace
