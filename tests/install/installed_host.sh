# The checks a host developer's first day makes on an installed vokBArticulo,
# shared by the install test (a prefix) and the Debian package test (/usr).
# Sourced; the caller sets: work (a scratch folder), source (the source
# tree), cxx (the compiler), prefix, libdir, and PKG_CONFIG_PATH when the
# prefix is not the system's.

step() { echo "== [${SECONDS}s] $*"; }
fail() { echo "FAILED: $*" >&2; exit 1; }

# Every installed library carries the major version in its soname.
check_sonames() {
  step "every installed library has a versioned soname"
  local library soname
  for library in vokplatform vokuiqt vokBArticulo vokwidget vokhost; do
    soname=$(objdump -p "$libdir/lib$library.so" | awk '$1 == "SONAME" { print $2 }')
    [[ $soname == "lib$library.so."[0-9]* ]] || fail "lib$library.so has the soname '$soname'"
  done
}

compile_alone() {
  local header=$1 unit
  unit="$work/tu/${header//\//_}.cpp"
  echo "#include <vokBArticulo/$header>" >"$unit"
  # shellcheck disable=SC2086
  "$cxx" -fsyntax-only $cflags "$unit" || { echo "FAILED: $header does not compile on its own" >&2; return 1; }
}

# The one include folder of ours a host is given is the prefix's: no generic
# folder (control/, platform/) lands on a host's include path. With "each",
# every public header also compiles alone with pkg-config's flags.
check_headers() {
  step "the include path${1:+, and every public header compiles on its own}"
  cflags=$(pkg-config --cflags vokBArticulo)
  local ours headers
  ours=$(for flag in $cflags; do [[ $flag == -I* ]] && realpath -m "${flag#-I}"; done |
    grep -E "^$prefix/include(/vokBArticulo.*)?$" || true)
  [ "$ours" = "$prefix/include" ] || fail "pkg-config gives the include folders '$ours'"
  [ "${1:-}" = each ] || return 0
  headers=$(cd "$prefix/include/vokBArticulo" && find . -name '*.h' | sed 's|^\./||' | sort)
  [ -n "$headers" ] || fail "no headers installed"
  export -f compile_alone
  export work cxx cflags
  mkdir -p "$work/tu"
  echo "$headers" | xargs -P 2 -I{} bash -c 'compile_alone {}' || fail "a public header does not compile on its own"
  # The installed headers do not reach back into the source tree.
  if grep -rq "$source" "$prefix/include/vokBArticulo"; then fail "an installed header names the source tree"; fi
}

# examples/host built out of tree, with find_package (the prefix given as
# CMake's prefix path unless it is the system's) and with pkg-config and a
# plain compiler command line.
build_examples() {
  step "the example host builds against the package"
  local prefix_path=()
  [ "$prefix" = /usr ] || prefix_path=(-DCMAKE_PREFIX_PATH="$prefix")
  cmake -S "$source/examples/host" -B "$work/example" -G Ninja "${prefix_path[@]}" \
    -DCMAKE_CXX_COMPILER="$cxx" >"$work/example.log" || { cat "$work/example.log"; fail "configure"; }
  cmake --build "$work/example" >>"$work/example.log" || { cat "$work/example.log"; fail "build"; }

  step "the example host builds with pkg-config and a plain compiler command line"
  mkdir -p "$work/plain"
  # shellcheck disable=SC2046
  "$cxx" $(pkg-config --cflags vokBArticulo) "$source/examples/host/main.cpp" -o "$work/plain/vok-example-host" \
    $(pkg-config --libs vokBArticulo) -Wl,-rpath,"$(pkg-config --variable=libdir vokBArticulo)" \
    || fail "the plain build of the example host"
}

# Both example builds and the console host load an article from a catalogue
# made by the installed vok-catalogue; the registration is the caller's.
check_lookup() {
  step "both example builds and the console host run on a catalogue made by the installed vok-catalogue"
  "$prefix/bin/vok-catalogue" --articles 1000 --seed 1 --output "$work/catalogo.sqlite" >/dev/null
  # An article the control finds whole (it raises error 94 for one that names no picture).
  local id answer host
  id=$(sqlite3 "$work/catalogo.sqlite" \
    "Select Min(ArtID) From Articulo Where ArtEmpresa = 1 And ArtEnUso = 1 And ArtFoto Is Not Null")
  for host in "$work/example/vok-example-host" "$work/plain/vok-example-host"; do
    answer=$("$host" "sqlite:$work/catalogo.sqlite" "$id")
    echo "$answer"
    [[ $answer == *"(ID $id, variety "* ]] || fail "$host did not read article $id"
  done
  printf 'set Empresa 1\nconnect\nquit\n' | "$prefix/bin/vokhost" --db "sqlite:$work/catalogo.sqlite" >"$work/vokhost.out"
  [ "$(grep -c '"ok":true' "$work/vokhost.out")" = 3 ] || { cat "$work/vokhost.out"; fail "the installed vokhost"; }
}
