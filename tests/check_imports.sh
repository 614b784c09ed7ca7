#!/usr/bin/env bash
# Fails when a built executable imports a DLL that does not ship with
# Windows (a MinGW runtime DLL, say): the installer is one file, alone.
#   usage: check_imports.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check_imports.sh BUILD_DIR}
allowed='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|shlwapi|comdlg32|comctl32|imm32|msimg32|gdiplus|wininet|version|ws2_32|crypt32|bcrypt|msvcrt|ntdll|uxtheme|dwmapi|rpcrt4|psapi|setupapi|winmm|urlmon|secur32|oleacc)\.dll$'
# The installer itself imports KnownDLLs only, which Windows never takes
# from the program's folder; everything else it loads at run time by path.
known='^(kernel32|user32|gdi32|advapi32|shell32|ole32|oleaut32|shlwapi|comdlg32|msvcrt)\.dll$'
status=0 count=0
while IFS= read -r -d '' exe; do
  count=$((count + 1))
  while read -r dll; do
    pattern=$allowed
    [ "$(basename "$exe")" = kxVistralSetup.exe ] && pattern=$known
    if ! echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$pattern"; then
      echo "FAIL ${exe#"$build"/} imports $dll, which is not a Windows system DLL"
      status=1
    fi
  done < <(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/{print $3}')
# Wine prefixes (the tests', the end-to-end copies, the run prefix) hold Wine's own programs.
done < <(find "$build" -name '*.exe' -not -path '*/drive_c/*' -not -path '*/CMakeFiles/*' -print0)
if [ "$count" -eq 0 ]; then
  echo "FAIL no executables found under $build"
  exit 1
fi
[ $status -eq 0 ] && echo "$count passed, 0 failed"
exit $status
