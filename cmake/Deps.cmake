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
set_property(TARGET dep::pugixml PROPERTY INTERFACE_COMPILE_DEFINITIONS PUGIXML_WCHAR_MODE)

kx_import_static(dep::jsoncpp "${KX_DEP_LIBJSONCPP_DIR}" libjsoncpp.a)

if(DEFINED KX_DEP_GOOGLETEST_DIR)
  kx_import_static(dep::gtest "${KX_DEP_GOOGLETEST_DIR}" libgtest.a)
  kx_import_static(dep::gmock "${KX_DEP_GOOGLETEST_DIR}" libgmock.a)
  set_property(TARGET dep::gmock PROPERTY INTERFACE_LINK_LIBRARIES dep::gtest)
endif()

if(DEFINED KX_DEP_OPENSSL_DIR)
  kx_import_static(dep::crypto "${KX_DEP_OPENSSL_DIR}" libcrypto.a)
  set_property(TARGET dep::crypto PROPERTY INTERFACE_LINK_LIBRARIES ws2_32 crypt32)
endif()

# zlib from libz-mingw-w64-dev, stb_image from libstb-dev (header only).
find_library(KX_ZLIB NAMES libz.a z REQUIRED)
add_library(dep::zlib STATIC IMPORTED GLOBAL)
set_target_properties(dep::zlib PROPERTIES IMPORTED_LOCATION "${KX_ZLIB}")
add_library(dep::stb INTERFACE IMPORTED GLOBAL)
set_target_properties(dep::stb PROPERTIES INTERFACE_INCLUDE_DIRECTORIES /usr/include/stb)
