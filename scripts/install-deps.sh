#!/bin/sh
# Installs the Debian packages the build, the tests and the tools need, when any is missing.
set -e
# libagg-dev and libcairo2-dev serve the comparison benchmark only; the plug-in never links them.
# The GStreamer packages build the swfplugindec element and give its tests gst-launch-1.0,
# gst-inspect-1.0, gst-discoverer-1.0, decodebin, appsink and the SWF type finder.
PACKAGES="cmake make g++ pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev \
zlib1g-dev libjpeg-dev libpng-dev libfreetype-dev ffmpeg libagg-dev libcairo2-dev clang libclang-rt-dev llvm \
libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev gstreamer1.0-tools gstreamer1.0-plugins-base \
gstreamer1.0-plugins-base-apps gstreamer1.0-plugins-good"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing" >&2
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
