// A case that never ends, run only by the entry e2e_HangCheck: the test run
// must name it as hung with its Wine processes, end it, and go on.
#include <windows.h>

#include <gtest/gtest.h>

TEST(HangCheck, NeverEnds)
{
    Sleep(INFINITE);
}
