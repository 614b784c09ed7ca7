# JsonCpp, static library only, without its stream parts.
# The installer uses only Json::Value and Json::FastWriter. Left as shipped,
# the library would link C++ iostreams and locales into the installer (about
# 0.8 MB): json_value.cpp includes <iostream> (a static initialiser), its
# assertion messages go through an ostringstream, and json_writer.cpp holds the
# stream writers. The patch below, applied to a copy of the source, passes the
# (always literal) assertion messages straight to the exception and leaves out,
# under JSONCPP_NO_STREAMS, Value::toStyledString, the stream writers,
# writeString and operator<<; those stay declared but are not in the library.
build() {
  local src=$1 prefix=$2 work=$3
  cp -a "$src" "$work/src"
  patch -d "$work/src" -p1 --quiet <<'PATCH'
--- a/include/json/assertions.h
+++ b/include/json/assertions.h
@@ -29,9 +29,7 @@
 
 #define JSON_FAIL_MESSAGE(message)                                             \
   do {                                                                         \
-    OStringStream oss;                                                         \
-    oss << message;                                                            \
-    Json::throwLogicError(oss.str());                                          \
+    Json::throwLogicError(message);                                            \
     abort();                                                                   \
   } while (0)
 
--- a/src/lib_json/json_value.cpp
+++ b/src/lib_json/json_value.cpp
@@ -13,7 +13,9 @@
 #include <cmath>
 #include <cstddef>
 #include <cstring>
+#if !JSON_USE_EXCEPTION
 #include <iostream>
+#endif
 #include <sstream>
 #include <utility>
 
@@ -1433,6 +1435,7 @@
 
 ptrdiff_t Value::getOffsetLimit() const { return limit_; }
 
+#if !defined(JSONCPP_NO_STREAMS)
 String Value::toStyledString() const {
   StreamWriterBuilder builder;
 
@@ -1443,6 +1446,8 @@
   return out;
 }
 
+#endif
+
 Value::const_iterator Value::begin() const {
   switch (type()) {
   case arrayValue:
--- a/src/lib_json/json_writer.cpp
+++ b/src/lib_json/json_writer.cpp
@@ -643,6 +643,7 @@
          value.hasComment(commentAfter);
 }
 
+#if !defined(JSONCPP_NO_STREAMS)
 // Class StyledStreamWriter
 // //////////////////////////////////////////////////////////////////
 
@@ -1256,4 +1257,6 @@
   return sout;
 }
 
+#endif // !defined(JSONCPP_NO_STREAMS)
+
 } // namespace Json
PATCH
  # Built for size: the report is made once per installation.
  cmake -S "$work/src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$KX_TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_CXX_FLAGS="-DJSONCPP_NO_STREAMS" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=OFF
  cmake --build "$work/build" -j "$KX_JOBS"
  cmake --install "$work/build"
  # Nothing the installer links may reach for a stream (the reader, which it
  # does not use, keeps its own).
  (cd "$work" && "$KX_HOST-ar" x "$prefix/lib/libjsoncpp.a" json_value.cpp.obj json_writer.cpp.obj)
  if "$KX_HOST-nm" -C "$work"/json_value.cpp.obj "$work"/json_writer.cpp.obj |
     grep -E ' U .*(stringstream|basic_ostream|basic_istream|ios_base|std::locale)'; then
    echo "libjsoncpp: the value or the writer still uses streams" >&2
    return 1
  fi
}
