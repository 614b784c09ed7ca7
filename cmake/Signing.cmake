# Authenticode signing of a release. With KX_SIGN_PKCS12 set, the installer is
# signed after it is built, into signed/kxVistralSetup.exe, and the stand-in
# product's programs are signed before they are packed. The unsigned installer
# stays in app/ as built, so that a signed release can be checked against it.
set(KX_SIGN_PKCS12 "" CACHE FILEPATH
    "PKCS#12 file with the code-signing certificate and key; empty builds unsigned")
set(KX_SIGN_PASSWORD_FILE "" CACHE FILEPATH
    "File whose first line is the PKCS#12 file's password (empty: no password)")
set(KX_SIGN_TIMESTAMP_URL "" CACHE STRING
    "RFC 3161 time-stamp server that counter-signs the signature (empty: none)")
set(KX_SIGNED_PROGRAMS_FROM "" CACHE FILEPATH
    "A signed release of this source: its product programs are packed, once checked to be this
build's with a signature, so that a rebuild without the key gives the release's installer")

set(KX_SIGN_FILES "")
if(KX_SIGN_PKCS12)
  find_program(KX_OSSLSIGNCODE osslsigncode REQUIRED)
  foreach(f KX_SIGN_PKCS12 KX_SIGN_PASSWORD_FILE)
    if(${f} AND NOT EXISTS "${${f}}")
      message(FATAL_ERROR "${f}: no file ${${f}}")
    endif()
  endforeach()
  set(KX_SIGN_FILES "${KX_SIGN_PKCS12}" ${KX_SIGN_PASSWORD_FILE})
elseif(KX_SIGNED_PROGRAMS_FROM AND NOT EXISTS "${KX_SIGNED_PROGRAMS_FROM}")
  message(FATAL_ERROR "KX_SIGNED_PROGRAMS_FROM: no file ${KX_SIGNED_PROGRAMS_FROM}")
endif()

# Sets VAR to the command that signs a file given after it as IN OUT, with
# DESCRIPTION as the signature's program name, dated with the release's date.
function(kx_sign_command var description)
  set(${var} "${CMAKE_COMMAND}" -E env
    "KX_SIGN_PKCS12=${KX_SIGN_PKCS12}" "KX_SIGN_PASSWORD_FILE=${KX_SIGN_PASSWORD_FILE}"
    "KX_SIGN_TIMESTAMP_URL=${KX_SIGN_TIMESTAMP_URL}" "KX_SIGN_DESCRIPTION=${description}"
    "KX_SIGN_URL=${KX_COMPANY_URL}"
    "${CMAKE_SOURCE_DIR}/cmake/with-source-date.sh" "${KX_SOURCE_DATE_FILE}"
    "${CMAKE_SOURCE_DIR}/scripts/sign.sh" PARENT_SCOPE)
endfunction()
