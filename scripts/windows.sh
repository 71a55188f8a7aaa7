#!/bin/sh
# Builds the Windows plug-in with mingw-w64 and runs the host-level tests under Wine.
#
#   build-windows/i686/swfplugin.dll     the 32-bit plug-in a host loads
#   build-windows/x86_64/swfplugin.dll   the same sources for 64-bit Windows
#
# Both DLLs must export exactly DllGetClassObject, DllCanUnloadNow and DllInitClasses and
# import only system libraries.  The host tests (LoadLibrary, GetProcAddress, the class
# factory, read file, formats, frames) run under Wine, and the demo movie's frames are
# compared byte for byte with the Linux build's.  32-bit programs run only where the
# kernel can execute them; elsewhere the 32-bit DLL is built and checked and the tests
# run against the 64-bit build.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=$ROOT/build-windows
LINUX_BUILD=${LINUX_BUILD:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}
mkdir -p "$OUT"

install_packages() {
    packages="g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev \
nasm dpkg-dev wine wine64"
    missing=""
    for p in $packages; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "installing:$missing" >&2
    # A security index that fails to download must not stop the install.
    apt-get update -qq || true
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing; then
        # Versions from the security suite can disagree between architectures; prefer
        # the main suite for this one install.
        printf 'Package: *\nPin: release n=bookworm-security\nPin-Priority: 100\n' \
            >"$OUT/no-security.pref"
        DEBIAN_FRONTEND=noninteractive apt-get -o Dir::Etc::Preferences="$OUT/no-security.pref" \
            install -y -qq $missing
    fi
}

# libjpeg-turbo from Debian's source package, as a static library per target.
build_libjpeg() {
    arch=$1
    prefix=$OUT/deps-$arch
    [ -f "$prefix/lib/libjpeg.a" ] && return 0
    src=$OUT/libjpeg-src
    if [ ! -d "$src/tree" ]; then
        if ! ls /etc/apt/sources.list.d/*.sources 2>/dev/null | xargs grep -l deb-src >/dev/null 2>&1; then
            printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                >/etc/apt/sources.list.d/swfplugin-src.sources
            apt-get update -qq || true
        fi
        mkdir -p "$src"
        (cd "$src" && apt-get source --download-only -qq libjpeg-turbo &&
            dpkg-source -x libjpeg-turbo_*.dsc tree >/dev/null)
    fi
    cmake -S "$src/tree" -B "$OUT/libjpeg-$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$OUT/libjpeg-$arch" -j "$JOBS" >/dev/null
    cmake --install "$OUT/libjpeg-$arch" >/dev/null
}

build_plugin() {
    arch=$1
    cmake -S "$ROOT" -B "$OUT/$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
        -DSWF_WINDOWS_DEPS="$OUT/deps-$arch" -DCMAKE_BUILD_TYPE=Release -DSWF_BUILD_BENCH=OFF >/dev/null
    cmake --build "$OUT/$arch" -j "$JOBS" --target swfplugin host_tests
}

check_exports() {
    dll=$1
    objdump=$2
    exports=$($objdump -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        awk '/\]/ {print $NF}' | grep -v Table | sort | tr '\n' ' ')
    if [ "$exports" != "DllCanUnloadNow DllGetClassObject DllInitClasses " ]; then
        echo "$dll exports: $exports" >&2
        exit 1
    fi
    imports=$($objdump -p "$dll" | awk '/DLL Name:/ {print $3}' | tr '\n' ' ')
    for name in $imports; do
        case $(echo "$name" | tr 'a-z' 'A-Z') in
        KERNEL32.DLL | USER32.DLL | MSVCRT.DLL | ADVAPI32.DLL | OLE32.DLL) ;;
        *)
            echo "$dll imports $name, which is not a system library" >&2
            exit 1
            ;;
        esac
    done
    echo "$dll: exports $exports; imports $imports"
}

run_host_tests() {
    arch=$1
    wine=$2
    export WINEDEBUG=-all WINEPREFIX="$OUT/wineprefix-$arch"
    [ "$arch" = i686 ] && export WINEARCH=win32 || unset WINEARCH
    [ -d "$WINEPREFIX" ] || $wine wineboot -i >/dev/null 2>&1 || true
    (cd "$OUT/$arch/tests" && SWF_EXPECT_FRAME_DIGESTS="$OUT/linux-frames.txt" \
        $wine host_tests.exe)
    wineserver -k 2>/dev/null || true
}

install_packages
build_libjpeg i686
build_libjpeg x86_64
build_plugin i686
build_plugin x86_64
check_exports "$OUT/i686/swfplugin.dll" i686-w64-mingw32-objdump
check_exports "$OUT/x86_64/swfplugin.dll" x86_64-w64-mingw32-objdump

# The Linux build's frames are the reference.
[ -f "$LINUX_BUILD/CMakeCache.txt" ] || cmake -S "$ROOT" -B "$LINUX_BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$LINUX_BUILD" -j "$JOBS" --target host_tests >/dev/null
SWF_WRITE_FRAME_DIGESTS="$OUT/linux-frames.txt" "$LINUX_BUILD/tests/host_tests" \
    --gtest_filter='FrameDigests.*' >/dev/null

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    run_host_tests i686 /usr/lib/wine/wine
else
    echo "This machine cannot run 32-bit programs; the 32-bit DLL is built and checked," \
        "and the host tests run against the 64-bit build." >&2
fi
run_host_tests x86_64 /usr/lib/wine/wine64
echo "Windows plug-in: $OUT/i686/swfplugin.dll (32-bit), $OUT/x86_64/swfplugin.dll (64-bit)"
