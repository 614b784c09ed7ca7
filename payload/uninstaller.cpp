// Stand-in for the product's uninstaller; it only has to exist for now.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) { return 0; }
