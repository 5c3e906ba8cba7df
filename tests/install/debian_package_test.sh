#!/usr/bin/env bash
# debian_package_test.sh SOURCE-DIR CXX DESIGNER-TEST
#
# The Debian package as a host developer meets it on a fresh machine: builds
# it (scripts/package, which only packs again when nothing changed), installs
# it, and with nothing but what it installed under /usr builds examples/host
# with find_package and with pkg-config, loads an article from a catalogue
# made by the installed vok-catalogue through the registration the package
# made itself, and finds the Designer plugin where Designer looks with no
# environment. Removing the package takes the registration back.
#
# It changes the machine: it runs only as root, with dpkg, and when asked to
# with VOK_TEST_DEBIAN_PACKAGE=1 (CI does); otherwise it exits 77, skipped.
set -euo pipefail
source=$1 cxx=$2 designer_test=$3

skip() { echo "SKIPPED: $*"; exit 77; }
[ "${VOK_TEST_DEBIAN_PACKAGE:-}" = 1 ] || skip "installs a package into /usr: set VOK_TEST_DEBIAN_PACKAGE=1 to run it"
[ "$(id -u)" = 0 ] || skip "installing a package needs root"
command -v dpkg >/dev/null || skip "no dpkg on this machine"
if dpkg-query -W -f='${Status}' vokbarticulo 2>/dev/null | grep -q "ok installed"; then
  skip "vokbarticulo is installed already, and this test would remove it"
fi

work=$(mktemp -d)
prefix=/usr
registry=/etc/xdg/vok/registry.reg
registry_before=$([ -e "$registry" ] && echo yes || true)
# shellcheck source=installed_host.sh
. "$(dirname "$0")/installed_host.sh"

step "build the package"
"$source/scripts/package" >"$work/package.log" 2>&1 || { cat "$work/package.log"; fail "scripts/package"; }
deb=$(ls -t "$source"/build/package/vokbarticulo_*.deb | head -n 1)
step "install $deb"
removed=
remove() {
  [ -n "$removed" ] && return
  removed=1
  dpkg --purge vokbarticulo >"$work/remove.log" 2>&1 || { cat "$work/remove.log"; fail "dpkg --purge"; }
}
trap 'remove; rm -rf "$work"' EXIT
dpkg -i "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "dpkg -i"; }

libdir=$(pkg-config --variable=libdir vokBArticulo)
check_sonames
# The same headers as a prefix's (install.example_host compiles each alone).
check_headers
build_examples

# The package registered the control and the host components in the system's
# registry, which a user without a registry of their own reads.
step "the package registered what a host needs"
export XDG_CONFIG_HOME=$work/config VOK_SETTINGS=$work/settings.ini
unset VOK_REGISTRY XDG_CONFIG_DIRS VOK_LANGUAGE_DIR QT_PLUGIN_PATH
vokreg list "$libdir/libvokBArticulo.so.1" | grep -q "vokArtBuscar.vokTArticulo .*registered (" \
  || fail "the control is not registered"
vokreg list "$libdir/libvokhost.so.1" | grep -q "LNG_QFA_001.clsResources registered (" \
  || fail "the host components are not registered"

check_lookup
# Designer looks for its plugins in the designer/ folder of Qt's plugin
# folder (QLibraryInfo::PluginsPath, which qtpaths prints), and more only
# when QT_PLUGIN_PATH says so.
plugin=$(qtpaths6 --query QT_INSTALL_PLUGINS)/designer/libvokwidgetplugin.so
step "Designer finds $plugin"
[ -f "$plugin" ] || fail "no Designer plugin in Qt's plugin folder"
if ldd "$plugin" | grep "not found"; then fail "the plugin's libraries are not found"; fi
VOK_DESIGNER_PLUGIN=$plugin "$designer_test" --gtest_filter=DesignerPlugin.OffersTheControlAsANewInstance --gtest_brief=1 \
  || fail "the installed plugin's metadata"

step "removing the package takes the registration back"
remove
[ ! -e "$libdir/libvokBArticulo.so.1" ] || fail "the control library is still installed"
if [ -e "$registry" ] && grep -q "InprocServer32" "$registry"; then fail "classes left in $registry"; fi
[ -e "$registry" ] && [ -z "$registry_before" ] && fail "purging left $registry behind"
echo "Debian package test passed"
