// Opens a skinned window whose layout is not in the package: the framework
// shows its load-failure message and ends the process with exit code 1.
#include <windows.h>

#include "ui_test_support.h"

int main()
{
    uitest::InstallTestSkin();
    uitest::TestWindow wnd(L"no_such_layout.xml");
    wnd.Open();
    return 0;  // not reached when the load failure ends the process
}
