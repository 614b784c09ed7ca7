# Imports the third-party libraries built by scripts/build-deps.sh.
# KX_DEPS_FILE names the file that script wrote; build.sh passes it.
set(KX_DEPS_FILE "${CMAKE_BINARY_DIR}/deps.cmake" CACHE FILEPATH
    "Locations of the target libraries, written by scripts/build-deps.sh")
if(NOT EXISTS "${KX_DEPS_FILE}")
  message(FATAL_ERROR "No ${KX_DEPS_FILE}: run scripts/build-deps.sh ${KX_DEPS_FILE} first "
                      "(scripts/build.sh and scripts/test.sh do this).")
endif()
include("${KX_DEPS_FILE}")

function(kx_import_static name dir lib)
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES
    IMPORTED_LOCATION "${dir}/lib/${lib}"
    INTERFACE_INCLUDE_DIRECTORIES "${dir}/include")
endfunction()

kx_import_static(dep::pugixml "${KX_DEP_PUGIXML_DIR}" libpugixml.a)
set_property(TARGET dep::pugixml PROPERTY INTERFACE_COMPILE_DEFINITIONS "PUGIXML_WCHAR_MODE;PUGIXML_NO_STL")

kx_import_static(dep::jsoncpp "${KX_DEP_LIBJSONCPP_DIR}" libjsoncpp.a)

if(DEFINED KX_DEP_GOOGLETEST_DIR)
  kx_import_static(dep::gtest "${KX_DEP_GOOGLETEST_DIR}" libgtest.a)
  kx_import_static(dep::gmock "${KX_DEP_GOOGLETEST_DIR}" libgmock.a)
  set_property(TARGET dep::gmock PROPERTY INTERFACE_LINK_LIBRARIES dep::gtest)
endif()

# libcrypto for the DES key schedule and block operation (deprecated API).
kx_import_static(dep::crypto "${KX_DEP_OPENSSL_DIR}" libcrypto.a)
set_target_properties(dep::crypto PROPERTIES
  INTERFACE_COMPILE_DEFINITIONS OPENSSL_SUPPRESS_DEPRECATED
  INTERFACE_LINK_LIBRARIES "advapi32;user32")

# 7-Zip's archive code: its handlers and codecs register themselves through
# static objects nothing references, so the library holding those objects
# must be linked whole; the rest of the code is linked as far as it is used.
kx_import_static(dep::7zip_register "${KX_DEP_7ZIP_DIR}" lib7zregister.a)
kx_import_static(dep::7zip_archive "${KX_DEP_7ZIP_DIR}" lib7zextract.a)
add_library(dep::7zip INTERFACE IMPORTED GLOBAL)
target_include_directories(dep::7zip INTERFACE "${KX_DEP_7ZIP_DIR}/include")
target_link_libraries(dep::7zip INTERFACE
  "$<LINK_LIBRARY:WHOLE_ARCHIVE,dep::7zip_register>" dep::7zip_archive oleaut32 uuid)

# zlib from libz-mingw-w64-dev, stb_image from libstb-dev (header only).
find_library(KX_ZLIB NAMES libz.a z REQUIRED)
add_library(dep::zlib STATIC IMPORTED GLOBAL)
set_target_properties(dep::zlib PROPERTIES IMPORTED_LOCATION "${KX_ZLIB}")
add_library(dep::stb INTERFACE IMPORTED GLOBAL)
set_target_properties(dep::stb PROPERTIES INTERFACE_INCLUDE_DIRECTORIES /usr/include/stb)
