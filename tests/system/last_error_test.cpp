#include "system/last_error.h"

#include <gtest/gtest.h>

namespace {

TEST(LastErrorResult, WrapsWin32CodesKeepsHResultsAndNeverSucceedsUnasked)
{
    struct {
        DWORD error;
        HRESULT whenNone, expected;
    } cases[] = {
        {ERROR_ACCESS_DENIED, E_FAIL, static_cast<HRESULT>(0x80070005)},
        {0x12345, E_FAIL, static_cast<HRESULT>(0x80072345)},  // only the low 16 bits are kept
        {0x80004005, S_OK, static_cast<HRESULT>(0x80004005)},  // already an HRESULT
        // A failing call that set no error is still a failure, in the
        // caller's words; S_OK only when asked for.
        {0, E_FAIL, E_FAIL},
        {0, HRESULT_FROM_WIN32(ERROR_GEN_FAILURE), static_cast<HRESULT>(0x8007001F)},
        {0, S_OK, S_OK},
    };
    for (const auto& c : cases) {
        SetLastError(c.error);
        EXPECT_EQ(LastErrorResult(c.whenNone), c.expected) << std::hex << c.error;
        EXPECT_EQ(GetLastError(), c.error);  // only read
    }
    SetLastError(0);
    EXPECT_EQ(LastErrorResult(), E_FAIL);
}

}  // namespace
