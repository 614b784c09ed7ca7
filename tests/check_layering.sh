#!/usr/bin/env bash
# Fails when a source file includes a header of a library above its own, so
# that the library graph stays acyclic:
#   owners (system/win_handles.h, system/com_owners.h, system/com_object.h,
#           system/embedded_resource.h, system/system_library.h)  uses nothing
#   ui      (the window framework)                      uses owners
#   base    (app/string_bundle.*, app/installer_messages.*)  uses owners, ui
#   system  (probes, constants, report)                 uses owners, base
#   install (the engine)                                uses owners, base, system
#   app     (windows and entry point)                   uses everything
#   usage: check_layering.sh SOURCE_DIR
set -euo pipefail
src=${1:?usage: check_layering.sh SOURCE_DIR}
cd "$src"

layer_of() {
  case "$1" in
    system/win_handles.h|system/com_owners.h|system/com_object.h|system/embedded_resource.h|\
    system/system_library.h) echo owners ;;
    app/string_bundle.*|app/installer_messages.*) echo base ;;
    ui/*) echo ui ;;
    system/*) echo system ;;
    install/*) echo install ;;
    app/*) echo app ;;
    *) echo other ;;
  esac
}

allowed() {  # allowed FROM TO
  case "$1:$2" in
    *:other|owners:owners) return 0 ;;
    ui:owners|ui:ui) return 0 ;;
    base:owners|base:ui|base:base) return 0 ;;
    system:owners|system:base|system:system) return 0 ;;
    install:owners|install:base|install:system|install:install) return 0 ;;
    app:*) return 0 ;;
  esac
  return 1
}

status=0 count=0
while IFS= read -r file; do
  from=$(layer_of "$file")
  while IFS= read -r header; do
    count=$((count + 1))
    to=$(layer_of "$header")
    if ! allowed "$from" "$to"; then
      echo "FAIL $file ($from) includes $header ($to)"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(git ls-files 'app/*' 'ui/*' 'system/*' 'install/*' | grep -E '\.(h|cpp)$')
if [ "$count" -eq 0 ]; then
  echo "FAIL no includes found under $src"
  exit 1
fi
[ $status -eq 0 ] && echo "$count includes checked, 0 against the layering"
exit $status
