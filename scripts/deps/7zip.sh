# 7-Zip as an in-process, extract-only library for Windows: the object factory
# CreateObject (plus GetNumberOfFormats, GetHandlerProperty2, ...), the 7z
# handler and the LZMA, LZMA2, BCJ, BCJ2, Delta, Copy and 7z AES decoders.
#
# The handlers and codecs register themselves through static objects that no
# one references, so a plain link drops them and CreateObject answers
# CLASS_E_CLASSNOTAVAILABLE. The objects with static constructors go into
# lib7zregister.a, which consumers must link whole; the rest stays in
# lib7zextract.a, linked as usual, so that what nothing uses stays out:
#   -Wl,--whole-archive lib7zregister.a -Wl,--no-whole-archive lib7zextract.a <lib/7zextract-link.txt>
# The GUIDs (IID_IInArchive, ...) are defined inside the library: consumers
# must not include Common/MyInitGuid.h. Headers: -I PREFIX/include, then
# #include "7zip/CPP/7zip/Archive/IArchive.h".
build() {
  local src=$1 prefix=$2 work=$3
  # The file list of the Format7zExtractR bundle plus the 7z AES decoder.
  local files=(
    CPP/Common/{CRC,CrcReg,IntToString,NewHandler,MyString,StringConvert}.cpp
    CPP/Common/{StringToInt,MyVector,Wildcard,Sha256Reg,Sha256Prepare}.cpp
    CPP/Windows/{PropVariant,Synchronization,System}.cpp
    CPP/7zip/Common/{CreateCoder,CWrappers,InBuffer,FilterCoder,LimitedStreams}.cpp
    CPP/7zip/Common/{MethodId,MethodProps,OutBuffer,ProgressUtils,PropId}.cpp
    CPP/7zip/Common/{StreamBinder,StreamObjects,StreamUtils,VirtThread}.cpp
    CPP/7zip/Archive/{ArchiveExports,DllExports2}.cpp
    CPP/7zip/Archive/Common/{CoderMixer2,HandlerOut,ItemNameUtils,OutStreamWithCRC,ParseProperties}.cpp
    CPP/7zip/Archive/7z/7z{CompressionMode,Decode,Extract,Handler,Header,In,Properties,Register}.cpp
    CPP/7zip/Compress/{CodecExports,Bcj2Coder,Bcj2Register,BcjCoder,BcjRegister}.cpp
    CPP/7zip/Compress/{BranchMisc,BranchRegister,ByteSwap,CopyCoder,CopyRegister}.cpp
    CPP/7zip/Compress/{DeltaFilter,Lzma2Decoder,Lzma2Register,LzmaDecoder,LzmaRegister}.cpp
    CPP/7zip/Crypto/{7zAes,7zAesRegister,MyAes,MyAesReg}.cpp
    C/{7zStream,Alloc,Bcj2,Bra,Bra86,BraIA64,CpuArch,Delta,Lzma2Dec,Lzma2DecMt}.c
    C/{LzmaDec,MtDec,SwapBytes,Threads,7zCrc,7zCrcOpt,Aes,AesOpt,Sha256,Sha256Opt}.c
  )
  local defs="-DNDEBUG -D_REENTRANT -DZ7_EXTRACT_ONLY -DUNICODE -D_UNICODE"
  # A generated makefile gives parallel compilation without 7-Zip's own
  # makefiles, which only know a native build of whole programs.
  echo "#include \"$src/CPP/Common/Common.h\"" > "$work/kx7z.h"
  {
    echo "CC = $KX_HOST-gcc-posix"
    echo "CXX = $KX_HOST-g++-posix"
    # The C files hold the decoders, CRC and AES, where the extraction spends
    # its time: built for speed. The C++ archive and glue code around them is
    # built for size.
    echo "CFLAGS = -O2 $defs"
    echo "CXXFLAGS = -Os -std=c++20 $defs"
    echo "all: objects"
    # Every 7-Zip .cpp starts with Common/Common.h (through StdAfx.h), which
    # pulls <windows.h>: precompiling it cuts the build from ~34 s to ~10 s.
    echo "kx7z.h.gch: kx7z.h"
    printf '\t$(CXX) $(CXXFLAGS) -x c++-header -o $@ $<\n'
    local f o objs=()
    for f in "${files[@]}"; do
      o=$(echo "${f%.*}" | tr / _).o
      objs+=("$o")
      case $f in
        *.c) echo "$o: $src/$f"; printf '\t$(CC) $(CFLAGS) -c -o $@ $<\n' ;;
        *) echo "$o: $src/$f kx7z.h.gch"
           printf '\t$(CXX) $(CXXFLAGS) -Winvalid-pch -include %s/kx7z.h -c -o $@ $<\n' "$work" ;;
      esac
    done
    echo "objects: ${objs[*]}"
  } > "$work/Makefile"
  make -C "$work" -j "$KX_JOBS" objects

  local registering=() plain=()
  for o in "${objs[@]}"; do
    if "$KX_HOST-objdump" -h "$work/$o" | grep -q '\.ctors'; then registering+=("$o"); else plain+=("$o"); fi
  done
  [ ${#registering[@]} -gt 0 ] || { echo "7zip: no object registers anything" >&2; return 1; }
  (cd "$work" && "$KX_HOST-ar" rcs lib7zregister.a "${registering[@]}" && "$KX_HOST-ar" rcs lib7zextract.a "${plain[@]}")

  mkdir -p "$prefix/lib" "$prefix/include/7zip"
  cp "$work/lib7zregister.a" "$work/lib7zextract.a" "$prefix/lib/"
  echo "-loleaut32 -luuid" > "$prefix/lib/7zextract-link.txt"
  # Only headers, keeping the layout their relative includes rely on.
  (cd "$src" && find C CPP -name '*.h' -exec cp --parents -t "$prefix/include/7zip" {} +)
}
