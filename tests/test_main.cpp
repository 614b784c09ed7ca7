// Test entry point: one line per failed assertion, then a count.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';  // one line per failure
    return text;
}

class CompactPrinter : public testing::EmptyTestEventListener {
    void OnTestPartResult(const testing::TestPartResult& r) override
    {
        if (!r.failed())
            return;
        const testing::TestInfo* t = testing::UnitTest::GetInstance()->current_test_info();
        std::printf("FAIL %s.%s (%s:%d): %s\n", t ? t->test_suite_name() : "?", t ? t->name() : "?",
                    r.file_name() ? r.file_name() : "?", r.line_number(),
                    OneLine(r.summary()).c_str());
        std::fflush(stdout);
    }
    void OnTestProgramEnd(const testing::UnitTest& u) override
    {
        std::printf("%d passed, %d failed", u.successful_test_count(), u.failed_test_count());
        if (u.skipped_test_count() > 0)
            std::printf(", %d skipped", u.skipped_test_count());
        std::printf("\n");
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char** argv)
{
    // A crashing test must fail, not wait on an error dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    bool verbose = GetEnvironmentVariableW(L"KX_TEST_VERBOSE", nullptr, 0) > 0;
    if (!verbose) {
        auto& listeners = testing::UnitTest::GetInstance()->listeners();
        delete listeners.Release(listeners.default_result_printer());
        listeners.Append(new CompactPrinter);
    }
    return RUN_ALL_TESTS();
}
