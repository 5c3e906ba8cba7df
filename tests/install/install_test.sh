#!/usr/bin/env bash
# install_test.sh BUILD-DIR SOURCE-DIR CXX
#
# Installs the build into a temporary prefix and uses it as a host developer
# would, with nothing but the prefix: compiles each public header alone with
# pkg-config's flags only, builds examples/host with find_package(vokBArticulo)
# and again with pkg-config and a plain compiler command line, registers what
# a host needs with the installed `vokreg setup`, makes a catalogue with the
# installed vok-catalogue, and runs both example builds and the installed
# console host on it.
set -euo pipefail
build=$1 source=$2 cxx=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
# shellcheck source=installed_host.sh
. "$(dirname "$0")/installed_host.sh"

step "install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }
libdir=$(dirname "$(find "$prefix" -name 'libvokhost.so')")
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name vokBArticulo.pc)")

check_sonames
check_headers each
build_examples

step "register with the installed vokreg setup, in a registry of this test's own"
export VOK_REGISTRY=$work/registry.reg VOK_SETTINGS=$work/settings.ini
unset VOK_LANGUAGE_DIR
"$prefix/bin/vokreg" setup
# The language packs were found in the installed data folder.
grep -q "share/vokBArticulo/lang/es.lng" "$VOK_REGISTRY" || fail "the language packs were not registered"
"$prefix/bin/vokreg" list "$libdir/libvokBArticulo.so.1" | grep -q "vokArtBuscar.vokTArticulo .*registered (" \
  || fail "the control is not registered"
"$prefix/bin/vokreg" list "$libdir/libvokhost.so" | grep -q "LNG_QFA_001.clsResources registered (" \
  || fail "vokreg list does not show the host components"
for library in vokplatform vokuiqt vokwidget; do
  "$prefix/bin/vokreg" list "$libdir/lib$library.so" | grep -q "holds no classes" || fail "vokreg list lib$library.so"
done

check_lookup

step "unregistering leaves no class behind"
"$prefix/bin/vokreg" unregister "$libdir/libvokBArticulo.so.1"
"$prefix/bin/vokreg" unregister "$libdir/libvokhost.so.1"
if grep -q "InprocServer32" "$VOK_REGISTRY"; then fail "classes left in the registry"; fi
echo "install test passed"
