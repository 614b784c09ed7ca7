#include "system/processes.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include "system/win_handles.h"
#include "tests/system/running_program.h"
#include "tests/system/test_files.h"

namespace {

// Process ids with this executable name, in the order the system lists them.
std::vector<DWORD> ListedIds(const std::wstring& exeName)
{
    std::vector<DWORD> ids;
    UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
         more = Process32NextW(snapshot.Get(), &entry))
        if (exeName == entry.szExeFile)
            ids.push_back(entry.th32ProcessID);
    return ids;
}

// Program names carry this process's id: other tests in the same prefix may
// run the product's programs at the same time.
std::wstring Tagged(const wchar_t* base)
{
    return std::wstring(base) + L"_" + std::to_wstring(GetCurrentProcessId()) + L".exe";
}

class Processes : public testing::Test {
protected:
    TempDir dirA, dirB;
    const std::wstring product = Tagged(L"kxVistral");
};

}  // namespace

TEST_F(Processes, FoundByExactNameOnly)
{
    RunningProgram running(dirA.Path() + product);
    ASSERT_TRUE(running.Started());

    DWORD id = 0;
    EXPECT_TRUE(FindProcessByName(product, id));
    EXPECT_EQ(id, running.Id());

    id = 12345;
    EXPECT_FALSE(FindProcessByName(Tagged(L"kxvistral"), id));
    EXPECT_FALSE(FindProcessByName(Tagged(L"KXVISTRAL"), id));
    EXPECT_FALSE(FindProcessByName(product.substr(0, product.size() - 4), id));
    EXPECT_EQ(id, 12345u);  // untouched when nothing is found
}

TEST_F(Processes, UpdaterInOtherLetterCaseIsNotFound)
{
    RunningProgram updater(dirA.Path() + Tagged(L"Updater"));
    ASSERT_TRUE(updater.Started());
    DWORD id = 0;
    EXPECT_FALSE(FindProcessByName(Tagged(L"updater"), id));
    EXPECT_TRUE(FindProcessByName(Tagged(L"Updater"), id));
}

TEST_F(Processes, NameAndPathMatchesTheImagePathExactly)
{
    RunningProgram running(dirA.Path() + product);
    ASSERT_TRUE(running.Started());

    DWORD id = 0;
    EXPECT_TRUE(FindProcessByNameAndPath(product, running.Path(), id));
    EXPECT_EQ(id, running.Id());

    std::wstring upper = running.Path();
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    EXPECT_FALSE(FindProcessByNameAndPath(product, upper, id));
    EXPECT_FALSE(FindProcessByNameAndPath(product, dirB.Path() + product, id));
    EXPECT_FALSE(FindProcessByNameAndPath(Tagged(L"launcher"), running.Path(), id));
}

TEST_F(Processes, OnlyTheLastListedProcessOfTheNameIsExamined)
{
    RunningProgram first(dirA.Path() + product);
    RunningProgram second(dirB.Path() + product);
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(second.Started());

    std::vector<DWORD> ids = ListedIds(product);
    ASSERT_EQ(ids.size(), 2u);
    const RunningProgram& last = ids.back() == first.Id() ? first : second;
    const RunningProgram& earlier = &last == &first ? second : first;
    ASSERT_EQ(ids.front(), earlier.Id());

    DWORD id = 0;
    EXPECT_TRUE(FindProcessByNameAndPath(product, last.Path(), id));
    EXPECT_EQ(id, last.Id());
    // The earlier one runs from its path too, but is never looked at.
    EXPECT_FALSE(FindProcessByNameAndPath(product, earlier.Path(), id));
    // By name alone, the first listed is the one found.
    EXPECT_TRUE(FindProcessByName(product, id));
    EXPECT_EQ(id, earlier.Id());
}
