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

step() { echo "== [${SECONDS}s] $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

step "install into $prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; fail "install"; }

step "every installed library has a versioned soname"
libdir=$(dirname "$(find "$prefix" -name 'libvokhost.so')")
for library in vokplatform vokuiqt vokBArticulo vokwidget vokhost; do
  soname=$(objdump -p "$libdir/lib$library.so" | awk '$1 == "SONAME" { print $2 }')
  [[ $soname == "lib$library.so."[0-9]* ]] || fail "lib$library.so has the soname '$soname'"
done

step "every public header compiles on its own"
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name vokBArticulo.pc)")
cflags=$(pkg-config --cflags vokBArticulo)
# One include folder, the prefix's: no generic folder (control/, platform/)
# lands on a host's include path.
ours=$(for flag in $cflags; do [[ $flag == -I* ]] && realpath -m "${flag#-I}"; done | grep "^$prefix" || true)
[ "$ours" = "$prefix/include" ] || fail "pkg-config gives the include folders '$ours'"
headers=$(cd "$prefix/include/vokBArticulo" && find . -name '*.h' | sed 's|^\./||' | sort)
[ -n "$headers" ] || fail "no headers installed"
compile_alone() {
  local header=$1 unit
  unit="$work/tu/${header//\//_}.cpp"
  echo "#include <vokBArticulo/$header>" >"$unit"
  # shellcheck disable=SC2086
  "$cxx" -fsyntax-only $cflags "$unit" || { echo "FAILED: $header does not compile on its own" >&2; return 1; }
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

step "the example host builds with pkg-config and a plain compiler command line"
mkdir -p "$work/plain"
# shellcheck disable=SC2046
"$cxx" $(pkg-config --cflags vokBArticulo) "$source/examples/host/main.cpp" -o "$work/plain/vok-example-host" \
  $(pkg-config --libs vokBArticulo) -Wl,-rpath,"$(pkg-config --variable=libdir vokBArticulo)" \
  || fail "the plain build of the example host"

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

step "both example builds and the console host run on a catalogue made by the installed vok-catalogue"
"$prefix/bin/vok-catalogue" --articles 1000 --seed 1 --output "$work/catalogo.sqlite" >/dev/null
# An article the control finds whole (it raises error 94 for one that names no picture).
id=$(sqlite3 "$work/catalogo.sqlite" \
  "Select Min(ArtID) From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null")
for host in "$work/example/vok-example-host" "$work/plain/vok-example-host"; do
  answer=$("$host" "sqlite:$work/catalogo.sqlite" "$id")
  echo "$answer"
  [[ $answer == *"(ID $id, variety "* ]] || fail "$host did not read article $id"
done
printf 'set Empresa 1\nconnect\nquit\n' | "$prefix/bin/vokhost" --db "sqlite:$work/catalogo.sqlite" >"$work/vokhost.out"
[ "$(grep -c '"ok":true' "$work/vokhost.out")" = 3 ] || { cat "$work/vokhost.out"; fail "the installed vokhost"; }

step "unregistering leaves no class behind"
"$prefix/bin/vokreg" unregister "$libdir/libvokBArticulo.so.1"
"$prefix/bin/vokreg" unregister "$libdir/libvokhost.so.1"
grep -q "InprocServer32" "$VOK_REGISTRY" && fail "classes left in the registry"
echo "install test passed"
