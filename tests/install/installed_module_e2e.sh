#!/usr/bin/env bash
# The program installed into a fresh prefix plays a module from there: the module-player run of
# the end-to-end tests, against the installed executable, which must map both of its libraries
# from the installed library folder and nothing at all from the build tree.
# Usage: installed_module_e2e.sh <build dir> <samples dir> <output dir>
set -euo pipefail
build=$(cd "$1" && pwd); samples="$2"; out="$3"
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --component orvane-viewer --prefix "$prefix" >/dev/null
libdir=$(cmake -L -N "$build" | sed -n 's/^ORVANE_INSTALL_PRIVATE_LIBDIR:STRING=//p')
unset LD_LIBRARY_PATH
"$here/../e2e/run_in_xvfb.sh" "$here/../e2e/module_e2e.sh" "$prefix/bin/orvane-viewer" "$samples" "$out" \
  "$prefix/$libdir" "$build"
