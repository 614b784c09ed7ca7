# The release's date: SOURCE_DATE_EPOCH, or the last commit's time. What the
# build would otherwise take from the clock (the executables' time stamps, the
# stand-in product's file times) is taken from it, so that one commit gives the
# same installer wherever and whenever it is built. It is read at every build
# (a new commit needs no new configuration); the file changes only with it.
set(KX_SOURCE_DATE_FILE "${CMAKE_BINARY_DIR}/source_date_epoch.txt")
add_custom_target(kx_source_date
  COMMAND "${CMAKE_COMMAND}" "-DSOURCE_DIR=${CMAKE_SOURCE_DIR}" "-DOUT=${KX_SOURCE_DATE_FILE}"
          -P "${CMAKE_CURRENT_LIST_DIR}/source_date_epoch.cmake"
  BYPRODUCTS "${KX_SOURCE_DATE_FILE}"
  VERBATIM)

# Links TARGET with the release's date as its PE time stamp (ld takes it
# from SOURCE_DATE_EPOCH) and links it again when the date changes.
function(kx_dated_executable target)
  set_target_properties(${target} PROPERTIES
    CXX_LINKER_LAUNCHER "${CMAKE_SOURCE_DIR}/cmake/with-source-date.sh;${KX_SOURCE_DATE_FILE}"
    LINK_DEPENDS "${KX_SOURCE_DATE_FILE}")
  add_dependencies(${target} kx_source_date)
endfunction()
