#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Checks the library as its users get it, from an already built build
# directory (default: build):
#   1. cmake --install into a temporary prefix: the files, the tool runs, the
#      installed .proto files import;
#   2. the consumer in tests/consumers built against that prefix through
#      find_package and through pkg-config, and with add_subdirectory of this
#      source tree (whose build must hold none of the tests or tools);
#   3. the Debian packages built from debian/ with dpkg-buildpackage: blhc on
#      the build log, lintian at error and warning level (and four info tags
#      of a package not built the Debian way), their file lists, control
#      fields, symbols file and RUNPATHs checked, no build path in them, and
#      the consumer built against the runtime and -dev packages unpacked into
#      a temporary directory.
# Work files go to <build>/check-install. Called by scripts/run-tests.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="$PWD"
build="${1:-build}"
work="$PWD/$build/check-install"
jobs="$(nproc)"
rm -rf "$work"
mkdir -p "$work"

step() { echo "== $* (${SECONDS}s)"; }
fail() {
  echo "check-install: $*" >&2
  exit 1
}
# expect_files <listing> <pattern>...: each extended regex matches a line.
expect_files() {
  local listing="$1"
  shift
  for pattern in "$@"; do
    grep -Eq "$pattern" <<<"$listing" || fail "missing: $pattern"
  done
}
run_consumer() {
  local output
  output="$("$@")" || fail "consumer failed: $output"
  grep -q ': ok$' <<<"$output" || fail "consumer output: $output"
}
configure_quietly() {
  cmake "$@" >"$work/last-configure.log" 2>&1 || {
    cat "$work/last-configure.log" >&2
    fail "configure failed: cmake $*"
  }
}

multiarch="$(sed -n 's/^CMAKE_INSTALL_LIBDIR:[A-Z]*=//p' "$build/CMakeCache.txt")"
[ -n "$multiarch" ] || fail "$build is not a configured build directory"

step "install into a temporary prefix"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
installed="$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | sort)"
expect_files "$installed" \
  "^$multiarch/libTarveshProtoBuf\.so\.1\.0\.0$" "^$multiarch/libTarveshProtoBuf\.so\.1$" \
  "^$multiarch/libTarveshProtoBuf\.so$" "^$multiarch/libHalvinProtoBuf\.so\.1$" \
  "^$multiarch/libVeltoProtoBuf\.so\.1$" \
  "^include/ProtoBuf/Tarvesh/Tarvesh\.Track\.pb\.h$" "^include/ProtoBuf/Tarvesh/TarveshExport\.h$" \
  "^include/ProtoBuf/Halvin/HalvinExport\.h$" "^include/ProtoBuf/Velto/VeltoExport\.h$" \
  "^include/ProtoBuf/Tarvesh/Tarvesh\.Recording\.proto$" "^include/ProtoBuf/Tarvesh/Tarvesh\.Track\.proto$" \
  "^include/ProtoBuf/Halvin/Halvin\.Storage\.proto$" "^include/ProtoBuf/Velto/Velto\.proto$" \
  "^$multiarch/cmake/TarveshProtoBuf/TarveshProtoBufConfig\.cmake$" \
  "^$multiarch/cmake/TarveshProtoBuf/TarveshProtoBufConfigVersion\.cmake$" \
  "^$multiarch/pkgconfig/TarveshProtoBuf\.pc$" "^bin/tarvesh$"
! grep -Eq 'MessageHelpers|\.cc$|gtest|embed_descriptor' <<<"$installed" ||
  fail "internal or test files installed: $(grep -E 'MessageHelpers|\.cc$|gtest|embed_descriptor' <<<"$installed")"
"$prefix/bin/tarvesh" --version | grep -q "^tarvesh (TarveshProtoBuf) [0-9]" ||
  fail "the installed tarvesh does not run"
# Outside the system's library directories the command and the library find
# their libraries from their own place.
runpath() { readelf -d "$1" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]$/\1/p'; }
[ "$(runpath "$prefix/bin/tarvesh")" = "\$ORIGIN/../$multiarch" ] ||
  fail "tarvesh in a prefix has RUNPATH '$(runpath "$prefix/bin/tarvesh")'"
[ "$(runpath "$prefix/$multiarch/libTarveshProtoBuf.so.1")" = "\$ORIGIN" ] ||
  fail "libTarveshProtoBuf in a prefix has RUNPATH '$(runpath "$prefix/$multiarch/libTarveshProtoBuf.so.1")'"
# A user's own schema importing the installed ones.
protoc -I "$prefix/include" -I tests/consumers/schema --descriptor_set_out="$work/consumer.desc" \
  consumer.proto || fail "the installed .proto files do not import"

step "consumer through find_package"
configure_quietly -S tests/consumers/find_package -B "$work/find_package" -DCMAKE_PREFIX_PATH="$prefix"
cmake --build "$work/find_package" -j"$jobs" >/dev/null
run_consumer "$work/find_package/consumer"

step "consumer through pkg-config"
# Outside the compiler's own directories the .pc finds the prefix from its
# own place.
grep -qx 'prefix=${pcfiledir}/../../..' "$prefix/$multiarch/pkgconfig/TarveshProtoBuf.pc" ||
  fail "the .pc in a prefix is not relocatable: $(head -1 "$prefix/$multiarch/pkgconfig/TarveshProtoBuf.pc")"
PKG_CONFIG_PATH="$prefix/$multiarch/pkgconfig" make -s -C tests/consumers/pkg-config OUT="$work/pkg-config-consumer"
run_consumer "$work/pkg-config-consumer"

step "consumer with add_subdirectory"
configure_quietly -S tests/consumers/add_subdirectory -B "$work/add_subdirectory" \
  -DCMAKE_BUILD_TYPE=Debug -DTARVESH_SOURCE_DIR="$source_dir"
targets="$(cmake --build "$work/add_subdirectory" --target help | sed -n 's/^\.\.\. //p' | grep -v '\.[ios]$')"
project_own='gtest.*|gmock.*|.*Test|tarvesh|tarvesh_records|embed_descriptor|recording_example|fuzz_.*|replay_.*|seed_corpus|tarvesh_bench|test'
if grep -Eixq "$project_own" <<<"$targets"; then
  fail "the add_subdirectory build holds this project's tests or tools: $(grep -Eix "$project_own" <<<"$targets" | tr '\n' ' ')"
fi
grep -qx 'TarveshProtoBuf' <<<"$targets" || fail "the add_subdirectory build lacks the library"
grep -qi 'gtest' "$work/add_subdirectory/CMakeCache.txt" && fail "the add_subdirectory build looked for GoogleTest"
cmake --build "$work/add_subdirectory" -j"$jobs" >/dev/null
run_consumer "$work/add_subdirectory/consumer"

step "Debian packages"
# dpkg-buildpackage writes the packages into the parent of the tree it builds:
# a copy of the sources (tracked, and new files not ignored) in the work
# directory keeps them there. TARVESH_CHECK_REPRODUCIBLE=1 builds them a
# second time, in another directory, time zone, locale and umask, from
# sources of another time (sources_date), and compares.
# build_packages <directory>: builds <directory>/tarveshprotobuf.
build_packages() {
  local tree="$1/tarveshprotobuf"
  mkdir -p "$tree"
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z -co --exclude-standard | while IFS= read -r -d '' file; do
      if [ -e "$file" ] || [ -L "$file" ]; then printf '%s\0' "$file"; fi
    done | tar --null -T - -cf - | tar -xf - -C "$tree"
  else
    tar --exclude='./build*' --exclude='./obj-*' -cf - . | tar -xf - -C "$tree"
  fi
  if [ -n "${sources_date:-}" ]; then
    find "$tree" -exec touch --no-dereference --date="$sources_date" {} +
  fi
  (cd "$tree" && dpkg-buildpackage -us -uc -b -j"$jobs" >"$1/build.log" 2>&1) || {
    tail -n 40 "$1/build.log" >&2
    fail "dpkg-buildpackage failed (log: $1/build.log)"
  }
}
build_packages "$work/packages"
package() {
  local found=("$work"/packages/"$1"_*.deb)
  [ -f "${found[0]}" ] || fail "no package $1"
  echo "${found[0]}"
}
runtime_deb="$(package libtarveshprotobuf1)"
dev_deb="$(package libtarveshprotobuf-dev)"
tools_deb="$(package tarvesh-tools)"
dbgsym_debs=("$(package libtarveshprotobuf1-dbgsym)" "$(package tarvesh-tools-dbgsym)")
debs=("$runtime_deb" "$dev_deb" "$tools_deb" "${dbgsym_debs[@]}")
[ "$(ls "$work"/packages/*.deb | wc -l)" -eq 5 ] || fail "expected five packages: $(ls "$work"/packages/*.deb)"
# Every compiler and linker line of the build has dpkg-buildflags' flags,
# hardening all on.
echo "-- blhc $(dpkg-query -W -f='${Version}' blhc) on the build log"
blhc --all "$work/packages/build.log" >"$work/blhc.log" 2>&1 || {
  cat "$work/blhc.log" >&2
  fail "blhc found compiler or linker lines without the build flags (above)"
}
# Errors and warnings fail; the informational tags are printed too, and the
# four that show a package not built the Debian way fail as well.
echo "-- $(lintian --version) on $(basename -a "${debs[@]}" | tr '\n' ' ')"
lintian_status=0
lintian --fail-on error,warning --display-info "${debs[@]}" >"$work/lintian.log" 2>&1 || lintian_status=$?
grep -v '^running with root privileges' "$work/lintian.log" | sed 's/^/   /' || true
[ "$lintian_status" -eq 0 ] || fail "lintian found errors or warnings (above)"
not_debian_way='hardening-no-bindnow|hardening-no-fortify-functions|no-symbols-control-file|binary-has-unneeded-section'
! grep -Eq ": ($not_debian_way)( |$)" "$work/lintian.log" || fail "lintian: $(grep -Eo "$not_debian_way" "$work/lintian.log" | sort -u | tr '\n' ' ')"
contents() { dpkg-deb -c "$1" | awk '{print $6}' | sed 's|^\./||' | grep -v '/$' | grep . | sort; }
runtime_files="$(contents "$runtime_deb")"
dev_files="$(contents "$dev_deb")"
tools_files="$(contents "$tools_deb")"
for deb in "$runtime_deb" "$dev_deb" "$tools_deb"; do
  echo "-- $(basename "$deb")"
  contents "$deb" | sed 's/^/   /'
done

# The changelog's latest entry names the project's version.
project_version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
package_version="$(dpkg-deb -f "$runtime_deb" Version)"
[ "${package_version%-*}" = "$project_version" ] ||
  fail "debian/changelog's latest entry is version $package_version, the project $project_version"

lib="usr/lib/${multiarch#lib/}"
# Each package's copyright and changelog.
package_docs() {
  echo "usr/share/doc/$1/changelog.Debian.gz"
  echo "usr/share/doc/$1/copyright"
}
expect_files "$runtime_files" "^$lib/libTarveshProtoBuf\.so\.1\.0\.0$" "^$lib/libTarveshProtoBuf\.so\.1$" \
  "^$lib/libHalvinProtoBuf\.so\.1$" "^$lib/libVeltoProtoBuf\.so\.1\.0\.0$"
for deb in "$runtime_deb" "$dev_deb" "$tools_deb"; do
  name="$(dpkg-deb -f "$deb" Package)"
  [ "$(package_docs "$name" | grep -vxFf <(contents "$deb"))" = "" ] ||
    fail "$name lacks its copyright or changelog"
done
# The runtime package holds only the versioned libraries and files named by
# the package, so a later soname can be installed beside it.
runtime_rest="$(grep -Ev '\.so\.[0-9]' <<<"$runtime_files" | grep -vxF "$(package_docs libtarveshprotobuf1)" || true)"
[ -z "$runtime_rest" ] || fail "runtime package holds more than the libraries: $runtime_rest"
expect_files "$dev_files" "^$lib/libTarveshProtoBuf\.so$" "^usr/include/ProtoBuf/Tarvesh/Tarvesh\.Track\.pb\.h$" \
  "^usr/include/ProtoBuf/Tarvesh/TarveshExport\.h$" "^usr/include/ProtoBuf/Velto/Velto\.proto$" \
  "^$lib/cmake/TarveshProtoBuf/TarveshProtoBufTargets\.cmake$" "^$lib/pkgconfig/TarveshProtoBuf\.pc$"
grep -q '\.so\.[0-9]' <<<"$dev_files" && fail "the -dev package holds versioned libraries"
[ "$(grep -vxF "$(package_docs tarvesh-tools)" <<<"$tools_files")" = "$(printf '%s\n' usr/bin/tarvesh \
  usr/share/bash-completion/completions/tarvesh usr/share/man/man1/tarvesh.1.gz)" ] || fail "tarvesh-tools holds: $tools_files"
# Programs built against this version run with any later one of the soname;
# the symbols file says from which version each symbol is there; dpkg's
# ldconfig trigger refreshes the loader cache.
dpkg-deb --ctrl-tarfile "$runtime_deb" | tar -x -C "$work" ./shlibs ./symbols ./triggers
for library in TarveshProtoBuf HalvinProtoBuf VeltoProtoBuf; do
  grep -qx "lib$library 1 libtarveshprotobuf1 (>= $project_version)" "$work/shlibs" ||
    fail "shlibs lacks lib$library with a >= version: $(cat "$work/shlibs")"
  grep -qx "lib$library.so.1 libtarveshprotobuf1 #MINVER#" "$work/symbols" ||
    fail "the symbols file lacks lib$library"
done
grep -qx 'activate-noawait ldconfig' "$work/triggers" || fail "no ldconfig trigger: $(cat "$work/triggers")"
dpkg-deb -f "$dev_deb" Depends | grep -q 'libtarveshprotobuf1 (= ' || fail "-dev does not depend on the runtime"
dpkg-deb -f "$tools_deb" Depends | grep -q 'libtarveshprotobuf1 (= ' || fail "tools do not depend on the runtime"
dpkg-deb -f "$runtime_deb" Depends | grep -q 'libprotobuf' || fail "runtime does not depend on libprotobuf"

# Nothing in the packages, the debug information included, names the
# directory they were built in (the paths are relative, from dpkg-buildflags'
# -ffile-prefix-map; no RPATH): the first condition of a build another
# directory repeats byte for byte.
everything="$work/everything"
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$everything"; done
find "$everything/usr/lib/debug" -name '*.debug' -type f -exec objcopy --decompress-debug-sections {} \;
build_path_in="$(grep -rlF "$work/packages" "$everything" || true)"
[ -z "$build_path_in" ] || fail "the build directory's path is in: ${build_path_in//"$everything"/}"
if [ "${TARVESH_CHECK_REPRODUCIBLE:-0}" = 1 ]; then
  again="$work/again/in/another/directory"
  (umask 002 && TZ=Asia/Kolkata LC_ALL=C.UTF-8 sources_date=2000-01-01 build_packages "$again")
  for deb in "${debs[@]}"; do
    cmp -s "$deb" "$again/$(basename "$deb")" || fail "$(basename "$deb") differs in a second build"
    sha256sum "$deb" | sed "s|$work/packages/||; s/^/   /"
  done
  echo "-- a second build in $again gave the same five packages"
fi

step "consumer against the unpacked packages"
root="$work/unpacked"
for deb in "$runtime_deb" "$dev_deb" "$tools_deb"; do dpkg-deb -x "$deb" "$root"; done
# Under /usr, the loader's own directory, the packaged binaries carry no
# RUNPATH.
for binary in "$root/usr/bin/tarvesh" "$root/$lib"/lib*.so.1; do
  [ -z "$(runpath "$binary")" ] || fail "${binary#"$root"/} has RUNPATH $(runpath "$binary")"
done
configure_quietly -S tests/consumers/find_package -B "$work/find_package-deb" -DCMAKE_PREFIX_PATH="$root/usr"
grep -q "TarveshProtoBuf_DIR:PATH=$root/usr/$multiarch/cmake/TarveshProtoBuf" "$work/find_package-deb/CMakeCache.txt" ||
  fail "find_package did not take the unpacked package"
cmake --build "$work/find_package-deb" -j"$jobs" >/dev/null
# The packages are built for /usr, where the loader finds the libraries and
# each library its siblings; unpacked elsewhere, LD_LIBRARY_PATH shows it.
LD_LIBRARY_PATH="$root/$lib" run_consumer "$work/find_package-deb/consumer"
# The packaged .pc names /usr plainly, so pkg-config drops the system's -I
# and -L; moved elsewhere, its prefix is redefined as with any system .pc.
grep -qx 'prefix=/usr' "$root/$lib/pkgconfig/TarveshProtoBuf.pc" ||
  fail "the packaged .pc: $(head -1 "$root/$lib/pkgconfig/TarveshProtoBuf.pc")"
flags="$(PKG_CONFIG_PATH="$root/$lib/pkgconfig" pkg-config --cflags --libs TarveshProtoBuf)"
! grep -Eq -- '(^| )-[IL]' <<<"$flags" || fail "pkg-config gives system paths for the package: $flags"
PKG_CONFIG_PATH="$root/$lib/pkgconfig" PKG_CONFIG="pkg-config --define-variable=prefix=$root/usr" \
  make -s -C tests/consumers/pkg-config OUT="$work/pkg-config-deb-consumer"
LD_LIBRARY_PATH="$root/$lib" run_consumer "$work/pkg-config-deb-consumer"
LD_LIBRARY_PATH="$root/$lib" "$root/usr/bin/tarvesh" types | grep -q '^Track ' ||
  fail "the packaged tarvesh does not run"

echo "check-install: all checks passed in ${SECONDS}s"
