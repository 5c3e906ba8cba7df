#!/usr/bin/env bash
# install_test.sh BUILD-DIR SOURCE-DIR CXX CATALOGUE-TOOL
#
# Installs the build into a temporary prefix and uses it as a host developer
# would: compiles each public header alone (flags from pkg-config), builds
# examples/host with find_package(vokBArticulo), registers the control and the
# host components with the installed vokreg, and runs the example and the
# installed console host on a small catalogue.
set -euo pipefail
build=$1 source=$2 cxx=$3 catalogue=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

step() { echo "== [${SECONDS}s] $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

step "install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }

step "every public header compiles on its own"
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name vokBArticulo.pc)")
cflags=$(pkg-config --cflags vokBArticulo)
headers=$(cd "$prefix/include/vokBArticulo" && find . -name '*.h' | sed 's|^\./||' | sort)
[ -n "$headers" ] || fail "no headers installed"
compile_alone() {
  local header=$1 unit
  unit="$work/tu/${header//\//_}.cpp"
  echo "#include <vokBArticulo/$header>" >"$unit"
  # shellcheck disable=SC2086
  "$cxx" -std=c++20 -fPIC -fsyntax-only $cflags "$unit" || { echo "FAILED: $header does not compile on its own" >&2; return 1; }
}
export -f compile_alone
export work cxx cflags
mkdir -p "$work/tu"
echo "$headers" | xargs -P 2 -I{} bash -c 'compile_alone {}' || fail "a public header does not compile on its own"
# The installed headers do not reach back into the source tree.
grep -rq "$source" "$prefix/include" && fail "an installed header names the source tree"

step "the example host builds against the package"
cmake -S "$source/examples/host" -B "$work/example" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_CXX_COMPILER="$cxx" >"$work/example.log" || { cat "$work/example.log"; fail "configure"; }
cmake --build "$work/example" >>"$work/example.log" || { cat "$work/example.log"; fail "build"; }

step "register with the installed vokreg, in a registry of this test's own"
export VOK_REGISTRY=$work/registry.reg VOK_SETTINGS=$work/settings.ini
unset VOK_LANGUAGE_DIR
libdir=$(dirname "$(find "$prefix" -name 'libvokhost.so')")
"$prefix/bin/vokreg" register "$libdir/libvokhost.so"
"$prefix/bin/vokreg" register "$libdir/libvokBArticulo.so.1"
# The language packs were found in the installed data folder.
grep -q "share/vokBArticulo/lang/es.lng" "$VOK_REGISTRY" || fail "the language packs were not registered"
"$prefix/bin/vokreg" list "$libdir/libvokBArticulo.so.1" | grep -q "vokArtBuscar.vokTArticulo .*registered (" \
  || fail "the control is not registered"

step "the example host and the console host run on a catalogue"
"$catalogue" --articles 1000 --seed 1 --output "$work/catalogo.sqlite" >/dev/null
# An article the control finds whole (it raises error 94 for one that names no picture).
id=$(sqlite3 "$work/catalogo.sqlite" \
  "Select Min(ArtID) From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null")
answer=$("$work/example/vok-example-host" "sqlite:$work/catalogo.sqlite" "$id")
echo "$answer"
[[ $answer == *"(ID $id, variety "* ]] || fail "the example host did not read article $id"
printf 'set Empresa 1\nconnect\nquit\n' | "$prefix/bin/vokhost" --db "sqlite:$work/catalogo.sqlite" >"$work/vokhost.out"
[ "$(grep -c '"ok":true' "$work/vokhost.out")" = 3 ] || { cat "$work/vokhost.out"; fail "the installed vokhost"; }

step "unregistering leaves no class behind"
"$prefix/bin/vokreg" unregister "$libdir/libvokBArticulo.so.1"
"$prefix/bin/vokreg" unregister "$libdir/libvokhost.so"
grep -q "InprocServer32" "$VOK_REGISTRY" && fail "classes left in the registry"
echo "install test passed"
