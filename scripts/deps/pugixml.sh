# pugixml, static, in wide-character mode: the installer's text is UTF-16.
# Without its STL parts (PUGIXML_NO_STL: loading from and saving to C++
# streams, std::wstring conveniences), which the installer does not use and
# which would link C++ iostreams and locales into it; consumers must define
# the same (cmake/Deps.cmake does). Built for size: it parses a few small
# layouts and writes one manifest.
build() {
  local src=$1 prefix=$2 work=$3
  cmake -S "$src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$KX_TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="-DPUGIXML_WCHAR_MODE -DPUGIXML_NO_STL"
  cmake --build "$work" -j "$KX_JOBS"
  cmake --install "$work"
}
