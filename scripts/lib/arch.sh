# Sourced with x86 or x64: the Windows build of that architecture, for the calling script.
#   build      its folder, from the top of the tree: build/win (x86) or build/win-x64
#   suffix     "" (x86) or "-x64", for the caller's own folders beside the build
#   toolchain  its CMake toolchain file
#   wine_arch  the Wine prefix it runs in: win32 or win64
#   objdump    binutils' objdump for its executables
case ${1:-} in
  x86) suffix="" toolchain=cmake/mingw-i686.cmake wine_arch=win32 objdump=i686-w64-mingw32-objdump ;;
  x64) suffix=-x64 toolchain=cmake/mingw-x86_64.cmake wine_arch=win64 objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "unknown architecture '${1:-}': x86 or x64" >&2; exit 2 ;;
esac
build=build/win$suffix
