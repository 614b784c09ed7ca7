# Writes the time a build is dated with to OUT, in seconds since 1970:
# SOURCE_DATE_EPOCH when it is set, otherwise the time of the last commit of
# SOURCE_DIR. OUT is rewritten only when the value changes, so that what is
# dated with it is rebuilt only then.
#   cmake -DSOURCE_DIR=... -DOUT=... -P source_date_epoch.cmake
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  # Only SOURCE_DIR's own repository: a source tree unpacked inside another
  # checkout must not take that checkout's date.
  execute_process(COMMAND git -C "${SOURCE_DIR}" rev-parse --show-toplevel
    OUTPUT_VARIABLE top RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(rc EQUAL 0)
    file(REAL_PATH "${top}" top)
    file(REAL_PATH "${SOURCE_DIR}" src)
  endif()
  if(NOT rc EQUAL 0 OR NOT top STREQUAL src)
    message(FATAL_ERROR "${SOURCE_DIR} is not a git checkout: set SOURCE_DATE_EPOCH to the "
                        "release's date (seconds since 1970) to build it")
  endif()
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch RESULT_VARIABLE rc OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cannot read the last commit's time in ${SOURCE_DIR}")
  endif()
endif()
# 7z and zip archives store no time before 1980; the PE header holds 32 bits.
if(NOT epoch MATCHES "^[0-9]+$" OR epoch LESS 315532800 OR epoch GREATER 4294967295)
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970 between 1980 and 2106, not '${epoch}'")
endif()
file(WRITE "${OUT}.tmp" "${epoch}\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
