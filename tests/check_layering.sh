#!/usr/bin/env bash
# Fails when a source file includes a header of a library above its own, so
# that the library graph stays acyclic:
#   owners  (system/win_handles.h, system/com_owners.h, system/com_object.h,
#            system/embedded_resource.h, system/system_library.h)  uses nothing
#   strings (app/string_bundle.*, the text table)       uses owners
#   system  (generic Windows helpers)                   uses owners
#   product (system/installer_constants.*, settings_files.*, usage_report.*,
#            report_*.*: the product's identity, files and report)
#                                                       uses owners, strings, system
#   install (the engine)                                uses the four above
#   ui      (the window framework)                      uses owners
#   msgbox  (app/message_box.*)                         uses owners, strings, product, ui
#   app     (the installer's windows, entry point)      uses all of the above
#   payload (the product's uninstaller and stand-ins)   uses all of the above but app
#   usage: check_layering.sh SOURCE_DIR
set -euo pipefail
src=${1:?usage: check_layering.sh SOURCE_DIR}
cd "$src"

layer_of() {
  case "$1" in
    system/win_handles.h|system/com_owners.h|system/com_object.h|system/embedded_resource.h|\
    system/system_library.h) echo owners ;;
    app/message_box.*) echo msgbox ;;
    app/string_bundle.*) echo strings ;;
    system/installer_constants.*|system/settings_files.*|system/usage_report.*|system/report_*) echo product ;;
    system/*) echo system ;;
    install/*) echo install ;;
    ui/*) echo ui ;;
    app/*) echo app ;;
    payload/*) echo payload ;;
    *) echo other ;;
  esac
}

allowed() {  # allowed FROM TO
  case "$1:$2" in
    *:other|owners:owners) return 0 ;;
    strings:owners|strings:strings) return 0 ;;
    system:owners|system:system) return 0 ;;
    product:owners|product:strings|product:system|product:product) return 0 ;;
    install:owners|install:strings|install:system|install:product|install:install) return 0 ;;
    ui:owners|ui:ui) return 0 ;;
    msgbox:owners|msgbox:strings|msgbox:product|msgbox:ui|msgbox:msgbox) return 0 ;;
    app:payload) return 1 ;;
    app:*) return 0 ;;
    payload:app) return 1 ;;
    payload:*) return 0 ;;
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
done < <(git ls-files 'system/*' 'install/*' 'ui/*' 'app/*' 'payload/*' | grep -E '\.(h|cpp)$')
if [ "$count" -eq 0 ]; then
  echo "FAIL no includes found under $src"
  exit 1
fi
[ $status -eq 0 ] && echo "$count includes checked, 0 against the layering"
exit $status
