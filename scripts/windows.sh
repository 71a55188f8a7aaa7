#!/bin/sh
# Builds the Windows plug-in with mingw-w64 and runs the host-level tests under Wine.
#
#   build-windows/i686/swfplugin.dll     the 32-bit plug-in a host loads
#   build-windows/x86_64/swfplugin.dll   the same sources for 64-bit Windows
#
# Both DLLs must export exactly DllGetClassObject, DllCanUnloadNow and DllInitClasses and
# import only system libraries.  The host tests (LoadLibrary, GetProcAddress, the class
# factory, read file, formats, frames) run under Wine against both DLLs, and the demo
# movie's frames are compared byte for byte with the Linux build's.  The 32-bit tests
# run under 32-bit Wine; where the kernel cannot execute 32-bit code, that Wine itself
# runs under qemu's user-mode emulation (SWF_I686_RUN=native|emulated overrides the
# choice).
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=$ROOT/build-windows
LINUX_BUILD=${LINUX_BUILD:-$ROOT/build}
JOBS=${JOBS:-$(nproc)}
mkdir -p "$OUT"

# Installs whichever of the given packages is missing; leading options go to apt-get.
install_packages() {
    options=""
    while [ "${1#-}" != "$1" ]; do
        options="$options $1"
        shift
    done
    missing=""
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing="$missing $p"
    done
    [ -z "$missing" ] && return 0
    echo "installing:$missing" >&2
    # A security index that fails to download must not stop the install.
    [ -n "$APT_UPDATED" ] || apt-get update -qq || true
    APT_UPDATED=1
    if ! DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $options $missing; then
        # Versions from the security suite can disagree between architectures; prefer
        # the main suite for this one install.
        printf 'Package: *\nPin: release n=bookworm-security\nPin-Priority: 100\n' \
            >"$OUT/no-security.pref"
        DEBIAN_FRONTEND=noninteractive apt-get -o Dir::Etc::Preferences="$OUT/no-security.pref" \
            install -y -qq $options $missing
    fi
}

# 32-bit Wine comes from Debian's i386 architecture: the loader and its libraries only,
# without the sound, graphics and font packages it recommends.  Installing it makes
# /usr/bin/wine start the 32-bit loader, so every run names its loader by path.
install_wine32() {
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        APT_UPDATED=""
    fi
    install_packages --no-install-recommends wine32:i386
}

# A library from Debian's source package, built static for one target with CMake:
#   build_static_library ARCH SOURCE-PACKAGE LIBRARY-FILE CMAKE-OPTION...
build_static_library() {
    arch=$1
    package=$2
    library=$3
    shift 3
    prefix=$OUT/deps-$arch
    [ -f "$prefix/lib/$library" ] && return 0
    src=$OUT/$package-src
    if [ ! -d "$src/tree" ]; then
        if ! ls /etc/apt/sources.list.d/*.sources 2>/dev/null | xargs grep -l deb-src >/dev/null 2>&1; then
            printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: bookworm\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                >/etc/apt/sources.list.d/swfplugin-src.sources
            apt-get update -qq || true
        fi
        mkdir -p "$src"
        (cd "$src" && apt-get source --download-only -qq "$package" &&
            dpkg-source -x "$package"_*.dsc tree >/dev/null)
    fi
    [ "$package" = freetype ] && trim_freetype_modules "$src/tree"
    cmake -S "$src/tree" -B "$OUT/$package-$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
    cmake --build "$OUT/$package-$arch" -j "$JOBS" >/dev/null
    cmake --install "$OUT/$package-$arch" >/dev/null
}

# The plug-in reads TrueType outlines only: FreeType registers its TrueType driver and the
# SFNT tables it needs, so the linker leaves the other drivers and the renderers out.
trim_freetype_modules() {
    printf '%s\n' 'FT_USE_MODULE( FT_Driver_ClassRec, tt_driver_class )' \
        'FT_USE_MODULE( FT_Module_Class, psnames_module_class )' \
        'FT_USE_MODULE( FT_Module_Class, sfnt_module_class )' \
        >"$1/include/freetype/config/ftmodule.h"
}

# libjpeg-turbo, and FreeType with the target's zlib (which the plug-in links anyway) and
# without PNG, bzip2, Brotli or HarfBuzz, both as Debian ships their sources.
build_dependencies() {
    build_static_library "$1" libjpeg-turbo libjpeg.a -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF
    build_static_library "$1" freetype libfreetype.a -DBUILD_SHARED_LIBS=OFF -DFT_REQUIRE_ZLIB=ON \
        -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

build_plugin() {
    arch=$1
    cmake -S "$ROOT" -B "$OUT/$arch" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$arch.cmake" \
        -DSWF_WINDOWS_DEPS="$OUT/deps-$arch" -DCMAKE_BUILD_TYPE=Release -DSWF_BUILD_BENCH=OFF >/dev/null
    cmake --build "$OUT/$arch" -j "$JOBS" --target swfplugin host_tests floor_link_checks
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

# Runs host_tests.exe in the current prefix with the given loader command, then stops the
# prefix's server; the tests' status is the function's.  A demo frame that differs is
# written beside the Linux build's kept frame and their difference.
run_in_prefix() {
    arch=$1
    shift
    status=0
    (cd "$OUT/$arch/tests" && SWF_EXPECT_FRAME_DIGESTS="$OUT/linux-frames.txt" \
        SWF_DEMO_FRAMES_DIR="$LINUX_BUILD/demo-frames/kept" "$@") || status=$?
    /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    return $status
}

run_host_tests() (
    arch=$1
    loader=$2
    export WINEDEBUG=-all WINEPREFIX="$OUT/wineprefix-$arch"
    [ "$arch" = i686 ] && export WINEARCH=win32 || unset WINEARCH
    [ -d "$WINEPREFIX" ] || $loader wineboot -i >/dev/null 2>&1 || true
    run_in_prefix "$arch" "$loader" host_tests.exe
)

# qemu's user-mode emulation of 32-bit Wine crashes or hangs in most runs when two threads
# read frames at once, so this test runs only where 32-bit code runs natively.
EMULATOR_UNSUPPORTED=MainRoad.SecondReaderWaitsForTheFirstReadersEndRead

# True where this machine itself executes 32-bit x86 code.  A binfmt handler that passes
# i386 programs to qemu does not count: that is emulation without the settings below.
runs_32bit_natively() {
    grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 && return 1
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# 32-bit Wine under qemu-i386, given the almost 4 GiB address space that a 32-bit process
# has on a 64-bit kernel.  wineboot cannot start its child processes under the emulator, so
# the prefix is laid out by hand: system32 links to Wine's i386 DLLs, and the update stamp
# keeps wineboot from running.  With no registry there is no TEMP; WINETEMP supplies it.
# The 32-bit server cannot run here either: the 64-bit one serves both.
run_emulated_i686_host_tests() (
    export WINEDEBUG=-all WINEARCH=win32 WINELOADERNOEXEC=1 \
        WINEPREFIX="$OUT/wineprefix-i686-emulated" WINESERVER=/usr/lib/wine/wineserver64 \
        WINETEMP="$OUT/wine-temp-i686"
    mkdir -p "$WINETEMP"
    if [ ! -f "$WINEPREFIX/.update-timestamp" ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/system32"
        ln -sf /usr/lib/i386-linux-gnu/wine/i386-windows/* "$WINEPREFIX/drive_c/windows/system32/"
        echo disable >"$WINEPREFIX/.update-timestamp"
    fi
    echo "i686 host tests: 32-bit Wine under qemu-i386 (about a minute of CPU to start)." \
        "Left out: $EMULATOR_UNSUPPORTED, because the emulator crashes or hangs when" \
        "two threads read frames at once; it runs wherever 32-bit code runs natively." >&2
    # An emulator that hangs must fail the run, not stall it.
    run_in_prefix i686 timeout 900 qemu-i386 -R 0xffff0000 -L / /usr/lib/wine/wine \
        host_tests.exe --gtest_filter="-$EMULATOR_UNSUPPORTED"
)

install_packages g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev \
    nasm dpkg-dev wine wine64
install_wine32
case ${SWF_I686_RUN:-auto} in
native | emulated) I686_RUN=$SWF_I686_RUN ;;
*)
    I686_RUN=native
    if ! runs_32bit_natively; then
        echo "This machine cannot execute 32-bit code: the i686 host tests run under emulation." >&2
        I686_RUN=emulated
    fi
    ;;
esac
[ "$I686_RUN" = native ] || install_packages --no-install-recommends qemu-user

build_dependencies i686
build_dependencies x86_64
build_plugin i686
build_plugin x86_64
check_exports "$OUT/i686/swfplugin.dll" i686-w64-mingw32-objdump
check_exports "$OUT/x86_64/swfplugin.dll" x86_64-w64-mingw32-objdump

# The Linux build's frames are the reference.
[ -f "$LINUX_BUILD/CMakeCache.txt" ] || cmake -S "$ROOT" -B "$LINUX_BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$LINUX_BUILD" -j "$JOBS" --target host_tests >/dev/null
SWF_WRITE_FRAME_DIGESTS="$OUT/linux-frames.txt" "$LINUX_BUILD/tests/host_tests" \
    --gtest_filter='FrameDigests.*' >/dev/null

if [ "$I686_RUN" = native ]; then
    echo "i686 host tests: 32-bit Wine, natively, every test." >&2
    run_host_tests i686 /usr/lib/wine/wine
else
    run_emulated_i686_host_tests
fi
run_host_tests x86_64 /usr/lib/wine/wine64
echo "Windows plug-in: $OUT/i686/swfplugin.dll (32-bit), $OUT/x86_64/swfplugin.dll (64-bit)"
