# After TARGET is linked: its resource section (the payload) starts on a page
# of the file, so that Wine maps it instead of reading it whole at start-up
# (scripts/align-resources.py). Before signing, which covers the result.
function(kx_page_aligned_resources target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/scripts/align-resources.py"
            "$<TARGET_FILE:${target}>"
    VERBATIM)
endfunction()
