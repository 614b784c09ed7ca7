# pugixml, static, in wide-character mode: the installer's text is UTF-16.
build() {
  local src=$1 prefix=$2 work=$3
  cmake -S "$src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$KX_TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="-DPUGIXML_WCHAR_MODE"
  cmake --build "$work" -j "$KX_JOBS"
  cmake --install "$work"
}
