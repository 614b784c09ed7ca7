// What happens before the main window can be used: the system check, a
// running product, and a second installer started beside the first.
#include <gtest/gtest.h>

#include "tests/e2e/installer_view.h"

using namespace e2e;

namespace {

// The stand-in product, started from a folder of its own as a user's
// earlier copy would run.
bool StartProduct(Process& product)
{
    CreateDirectoryW(L"C:\\Running", nullptr);
    return CopyFileW((ProductDir() + L"kxVistral.exe").c_str(), L"C:\\Running\\kxVistral.exe", FALSE) &&
           product.Start(L"C:\\Running\\kxVistral.exe") &&
           WaitFor([&] { return FindProcess(L"kxVistral.exe") == product.Id(); }, 10000);
}

// A refused system: the message before any window, then the end after OK.
void ExpectRefusal(LPCWSTR textId)
{
    Installer setup;
    ASSERT_TRUE(setup.Start(SetupExe(), false));
    HWND box = setup.WaitBox();
    ASSERT_TRUE(BoxShows(box, textId, 0x30, L"OK"));
    ClickBoxButton(box, 1);
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    EXPECT_FALSE(Exists(DefaultProgramDir()));
}

}  // namespace

// Each run in a prefix made for it (see CMakeLists.txt): one reporting
// Windows 8.1, one of 32-bit Windows.
TEST(OldWindows, SystemMessageThenTheInstallerEnds) { ExpectRefusal(L"MESSAGE_SYSTEM_NOT_MATCH"); }
TEST(Arch32, ArchitectureMessageThenTheInstallerEnds) { ExpectRefusal(L"MESSAGE_ARCH_NOT_MATCH"); }

TEST(RunningProduct, InstallEndsItAndTheWindowAppears)
{
    Process product;
    ASSERT_TRUE(StartProduct(product));
    Installer setup;
    ASSERT_TRUE(setup.Start(SetupExe(), false));
    HWND box = setup.WaitBox();
    ASSERT_TRUE(BoxShows(box, L"MESSAGEBOX_WARNING_RUNNING_TEXT", 0x34, L"INSTALL", L"CANCEL"));
    EXPECT_EQ(FindWindowOf(setup.proc.Id(), kMainClass), nullptr) << "asked before the window shows";
    ClickBoxButton(box, 1);
    ASSERT_TRUE(product.WaitExit(10000));
    EXPECT_EQ(product.ExitCode(), 0xFFFFFFFFu);
    setup.main = WaitWindow(setup.proc.Id(), kMainClass);
    ASSERT_NE(setup.main, nullptr);
    EXPECT_EQ(setup.ShownPage(), Page::Start);
}

TEST(RunningProduct, CancelEndsTheInstaller)
{
    Process product;
    ASSERT_TRUE(StartProduct(product));
    Installer setup;
    ASSERT_TRUE(setup.Start(SetupExe(), false));
    HWND box = setup.WaitBox();
    ASSERT_NE(box, nullptr);
    ClickBoxButton(box, 2);
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    EXPECT_TRUE(product.Running()) << "the product is left alone";
}

TEST(RunningProduct, CloseCommandOnTheQuestionIsCancel)
{
    Process product;
    ASSERT_TRUE(StartProduct(product));
    Installer setup;
    ASSERT_TRUE(setup.Start(SetupExe(), false));
    HWND box = setup.WaitBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Activate(box, 100, 20));
    Keys({VK_MENU, VK_F4});
    EXPECT_EQ(setup.WaitExitCode(), 0u);
    EXPECT_TRUE(product.Running());
}

TEST(SecondInstance, ExitsAtOnceAndLeavesTheFirstAlone)
{
    Installer first;
    ASSERT_TRUE(first.Start());
    first.ClickAt(kAgree);
    ASSERT_TRUE(WaitFor([&] { return first.ButtonEnabled(); }, 3000));
    Installer second;
    ASSERT_TRUE(second.Start(SetupExe(), false));
    EXPECT_EQ(second.WaitExitCode(5000), 0u);
    EXPECT_EQ(Windows(0, kMainClass).size(), 1u) << "no second window";
    EXPECT_EQ(Windows(0, kBoxClass).size(), 0u);
    EXPECT_TRUE(first.proc.Running());
    EXPECT_EQ(FindWindowOf(first.proc.Id(), kMainClass), first.main);
    EXPECT_TRUE(first.ButtonEnabled()) << "the first one keeps its state";
}
