#!/usr/bin/env bash
# collect-runtime.sh PROGRAM RUNTIME_FOLDER [--module LIBRARY]... PLUGIN...
# Gathers what the player needs to start on a Debian desktop that has none of our build: the
# libraries it, the libraries of its own that it loads later (modules) and the given Qt
# plugins load, apart from those every desktop has or that must come from the machine itself,
# into RUNTIME_FOLDER, the modules beside them, the plugins into RUNTIME_FOLDER/plugins/
# <their kind>/. The player finds the libraries through its run path ($ORIGIN/<folder>), its
# modules in the folder, and the plugins through the qt.conf in its resources. The folder is
# replaced whole, so a failed run leaves the previous one.
set -euo pipefail
program="$1"; out="$2"; shift 2
modules=()
while [ "${1:-}" = "--module" ]; do
  modules+=("$2")
  shift 2
done

# The C and C++ runtimes, the graphics drivers, the clients of the X, sound and session
# servers, fonts, and the GLib and GStreamer frameworks with what they stand on.
base='^(linux-vdso|ld-linux.*|libc|libm|libdl|libpthread|librt|libresolv|libutil|libstdc\+\+|libgcc_s'
base+='|libGL|libEGL|libGLX|libGLdispatch|libOpenGL|libgbm|libdrm.*|libvulkan|libwayland-.*'
base+='|libX11|libX11-xcb|libxcb|libXau|libXdmcp|libXext|libXrender|libICE|libSM|libuuid|libbsd|libmd'
base+='|libfontconfig|libfreetype|libexpat|libz|libpng16|libbrotli.*|libharfbuzz|libgraphite2'
base+='|libglib-2\.0|libgobject-2\.0|libgio-2\.0|libgmodule-2\.0|libgthread-2\.0|libffi|libpcre2-8'
base+='|libmount|libblkid|libselinux|libdbus-1|libsystemd|libudev|libcap|libgcrypt|libgpg-error'
base+='|liblzma|libzstd|liblz4|libbz2|libkrb5.*|libgssapi_krb5|libk5crypto|libcom_err|libkeyutils'
base+='|libasound|libpulse.*|libsndfile|libFLAC|libvorbis.*|libopus|libogg|libmpg123|libmp3lame'
base+='|libasyncns|libgst.*|liborc-0\.4|libunwind|libdw|libelf|libgudev-1\.0)\.so'

parent="$(dirname "$out")"
mkdir -p "$parent"
work="$(mktemp -d "$parent/.$(basename "$out").XXXXXX")"
trap 'rm -rf "$work"' EXIT

# The program is looked at from a place where its run path leads nowhere, so that every
# library resolves to the system's copy, not to one collected before.
mkdir "$work/look"
cp "$program" "$work/look/program"

mkdir -p "$work/lib"
list="$work/list"
: > "$list"
for file in "$work/look/program" "${modules[@]}" "$@"; do
  if ! ldd "$file" > "$work/ldd" 2>&1; then
    cat "$work/ldd" >&2
    echo "collect-runtime: cannot read the libraries of $file" >&2
    exit 1
  fi
  if grep -q "not found" "$work/ldd"; then
    grep "not found" "$work/ldd" >&2
    echo "collect-runtime: $file needs libraries this machine does not have" >&2
    exit 1
  fi
  awk '$2 == "=>" && $3 ~ /^\// { print $1, $3 }' "$work/ldd" >> "$list"
done

sort -u "$list" | while read -r name path; do
  if [[ ! "$name" =~ $base ]]; then
    cp -L "$path" "$work/lib/$name"
  fi
done

for module in "${modules[@]}"; do
  cp -L "$module" "$work/lib/"
done

for plugin in "$@"; do
  kind="$(basename "$(dirname "$plugin")")"
  mkdir -p "$work/lib/plugins/$kind"
  cp -L "$plugin" "$work/lib/plugins/$kind/"
done

rm -rf "$out"
mv "$work/lib" "$out"
