#!/usr/bin/env bash
# Installs what Quendrix needs to build, run and test on Debian 12; does nothing
# when everything is there already.
set -euo pipefail
pkgs=(cmake make g++ qt6-base-dev qt6-serialport-dev qt6-qpa-plugins libgl-dev fonts-dejavu-core)
# Qt's own dialogs (print preview, file boxes) in the window's language.
pkgs+=(qt6-translations-l10n)
# cpack -G DEB: dpkg-shlibdeps (dpkg-dev) computes the package's dependencies.
pkgs+=(dpkg-dev file)
# lld: the linker of both builds (CMake falls back to the default one without it).
# The checked build and the fuzz targets: clang with its sanitizer and libFuzzer
# runtimes, and the symbolizer that names the lines in their reports.
pkgs+=(lld clang libclang-rt-14-dev llvm-14)
# The CPU hog of the busy-machine pass of the tests.
pkgs+=(stress-ng)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
