# GoogleTest and GoogleMock, static, for the test executables.
build() {
  local src=$1 prefix=$2 work=$3
  cmake -S "$src" -B "$work" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$KX_TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -Dgtest_disable_pthreads=OFF
  cmake --build "$work" -j "$KX_JOBS"
  cmake --install "$work"
}
