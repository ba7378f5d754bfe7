#!/usr/bin/env bash
# Cross-builds the picture-decoding libraries of the Windows screen saver
# (x86_64-w64-mingw32) from Debian's source packages, at the versions of the
# Linux packages this machine's apt offers, with Debian's patches applied.
#
#   prefix=$(scripts/build-windows-libs.sh)
#
# The last line on stdout is the install prefix (include/, lib/ with static
# libraries and pkg-config files, bin/libheif.dll, share/licenses/). Progress
# goes to stderr, build logs to files. Results are cached outside the build
# tree, so a second run only checks versions and prints the prefix.
#
# Everything is static except libheif: it is LGPL, as is libde265 inside it,
# so it ships as one replaceable libheif.dll (libde265 for HEIC and dav1d for
# AVIF linked into it, decoders only) with its import library.
#
# Environment:
#   GLIMMORA_WINLIBS_CACHE  where results live (default ~/.cache/glimmora/winlibs)
#   GLIMMORA_WINLIBS_EXACT  1: fail when the exact source version cannot be
#                           fetched, instead of building the nearest one
set -eu
set -o pipefail

# Raise this whenever the way the libraries are built changes, so that cached
# prefixes built the old way are not reused.
recipe=1

host=x86_64-w64-mingw32
cc=$host-gcc-posix
cxx=$host-g++-posix
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
toolchain=$repo/cmake/mingw-w64.cmake
cache=${GLIMMORA_WINLIBS_CACHE:-$HOME/.cache/glimmora/winlibs}
jobs=$(nproc)

# Source package, and the Linux binary package whose version it must match.
libraries=(
  "zlib zlib1g"
  "libpng1.6 libpng16-16"
  "libjpeg-turbo libjpeg62-turbo"
  "giflib libgif7"
  "libwebp libwebp7"
  "dav1d libdav1d6"
  "libde265 libde265-0"
  "libheif libheif1"
)

# What the cross build needs from Debian (also listed in install-deps.sh).
tools=(
  meson ninja-build nasm cmake make pkg-config dpkg-dev bzip2 xz-utils
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
)

say() { echo "build-windows-libs: $*" >&2; }
die() { say "error: $*"; exit 1; }

# --- Versions ---------------------------------------------------------------

# Fills want[source]=version from the binary packages apt would install here
# (bookworm-security/-updates win where newer). Reads only local lists.
declare -A want
resolve_versions() {
  local bins=() entry src bin
  for entry in "${libraries[@]}"; do bins+=("${entry#* }"); done
  want=()
  local record
  # A package apt does not know is reported below, by name.
  record=$({ LC_ALL=C apt-cache show --no-all-versions "${bins[@]}" 2>/dev/null || true; } |
    awk '/^Package:/{p=$2; s=""; v=""} /^Source:/{s=$3} /^Version:/{v=$2}
         /^$/{if (p != "") print p, v, s; p=""} END{if (p != "") print p, v, s}')
  for entry in "${libraries[@]}"; do
    src=${entry% *} bin=${entry#* }
    local line
    line=$(awk -v b="$bin" '$1 == b {print; exit}' <<<"$record")
    [ -n "$line" ] || die "apt knows no version of $bin; run 'apt-get update' (or scripts/install-deps.sh) first"
    local ver srcver
    read -r _ ver srcver <<<"$line"
    # A binNMU or a binary with its own version names the source one in
    # brackets on the Source: line.
    if [ -n "$srcver" ]; then ver=${srcver#(} ver=${ver%)}; fi
    want[$src]=$ver
  done
}

cache_key() {
  {
    echo "recipe $recipe $host"
    sha256sum <"$toolchain"
    local entry
    for entry in "${libraries[@]}"; do echo "${entry% *} ${want[${entry% *}]}"; done
  } | sha256sum | cut -c1-16
}

# --- Build tools ------------------------------------------------------------

# Installs the missing tools the same way install-deps.sh does.
ensure_tools() {
  local missing=() p
  for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# --- Fetching sources -------------------------------------------------------

# apt runs with a private configuration: deb-src entries of its own, its own
# lists and cache under $cache/apt, so the system's lists stay as they were.
apt_dir=$cache/apt
apt_private() { apt-get -c "$apt_dir/apt.conf" "$@"; }
apt_cache_private() { apt-cache -c "$apt_dir/apt.conf" "$@"; }

# deb-src twins of this machine's own entries for CODENAME, -updates and
# -security, in deb822 (.sources) and one-line (.list) form alike.
write_source_entries() {
  local codename parts_dir main_list f
  codename=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release | tr -d '"')
  [ -n "$codename" ] || die "no VERSION_CODENAME in /etc/os-release"
  eval "$(apt-config shell main_list Dir::Etc::SourceList/f parts_dir Dir::Etc::SourceParts/d)"
  local suites="$codename $codename-updates $codename-security"
  mkdir -p "$apt_dir/sources"
  rm -f "$apt_dir/sources/"*
  for f in "$parts_dir"/*.sources; do
    [ -f "$f" ] || continue
    # Copies each enabled "deb" stanza with Types and Suites rewritten; other
    # fields (Signed-By, also multi-line) are kept as they are.
    awk -v want="$suites" '
      function flush(   i, n, s, keep, out) {
        if (!types || enabled == "no") { reset(); return }
        n = split(suitesf, s, " "); keep = ""
        for (i = 1; i <= n; i++) if ((" " want " ") ~ (" " s[i] " ")) keep = keep " " s[i]
        if (keep != "") printf "Types: deb-src\nSuites:%s\n%s\n\n", keep, rest
        reset()
      }
      function reset() { types = 0; enabled = ""; suitesf = ""; rest = ""; field = "" }
      BEGIN { reset() }
      /^#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^[ \t]/ { if (field != "skip") rest = rest "\n" $0; next }
      {
        name = tolower($1); sub(/:$/, "", name); value = $0; sub(/^[^:]*:[ \t]*/, "", value)
        if (name == "types") { types = ((" " value " ") ~ / deb /); field = "skip" }
        else if (name == "suites") { suitesf = value; field = "skip" }
        else if (name == "enabled") { enabled = tolower(value); field = "skip" }
        else if (name == "architectures") { field = "skip" }
        else { rest = rest (rest == "" ? "" : "\n") $0; field = name }
      }
      END { flush() }' "$f" >>"$apt_dir/sources/private.sources"
  done
  for f in "$main_list" "$parts_dir"/*.list; do
    [ -f "$f" ] || continue
    awk -v want="$suites" '
      $1 == "deb" {
        i = 2
        if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
        if ((" " want " ") ~ (" " $(i + 1) " ")) { sub(/deb/, "deb-src"); print }
      }' "$f" >>"$apt_dir/sources/private.list"
  done
  grep -qs "$codename" "$apt_dir/sources/private.sources" "$apt_dir/sources/private.list" ||
    die "no apt source entry for $codename found on this machine"
}

lists_updated=""
update_private_lists() {
  [ -n "$lists_updated" ] && return 0
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  write_source_entries
  # Drops the update hooks of the system's configuration: they are about the
  # system's lists, not these.
  cat >"$apt_dir/apt.conf" <<EOF
#clear APT::Update::Pre-Invoke;
#clear APT::Update::Post-Invoke;
#clear APT::Update::Post-Invoke-Success;
Dir::Etc::SourceList "/dev/null";
Dir::Etc::SourceParts "$apt_dir/sources";
Dir::State::Lists "$apt_dir/lists";
Dir::Cache "$apt_dir/cache";
APT::Sandbox::User "$(id -un)";
EOF
  say "updating the private lists of Debian source packages"
  apt_private -q --error-on=any update >"$logs/apt-update.log" 2>&1 || fail_log "$logs/apt-update.log" "apt-get update (private lists)"
  lists_updated=1
}

# A downloaded .dsc with every file it names is kept and used again.
have_source() { # source version
  local dsc="$sources/${1}_${2#*:}.dsc" f
  [ -f "$dsc" ] || return 1
  while read -r f; do
    [ -f "$sources/$f" ] || return 1
  done < <(awk '/^Files:/{on=1; next} /^[^ ]/{on=0} on{print $3}' "$dsc")
}

# Prints the given Debian versions, newest first, in dpkg's order.
newest_first() {
  local rest=("$@") best v next
  while [ ${#rest[@]} -gt 0 ]; do
    best=${rest[0]}
    for v in "${rest[@]}"; do
      if dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
    done
    echo "$best"
    next=()
    for v in "${rest[@]}"; do
      if [ "$v" != "$best" ]; then next+=("$v"); fi
    done
    rest=("${next[@]}")
  done
}

# Downloads one source package version into $sources. Returns 1 when the
# archive lists that version but does not serve its files (404), 2 on any
# other failure.
try_fetch() { # source version
  local out=$work/apt-source.out rc=0
  (cd "$sources" && apt_private -q source --download-only "$1=$2") >"$out" 2>&1 || rc=$?
  cat "$out" >>"$logs/apt-source.log"
  [ $rc -eq 0 ] && return 0
  grep -q "404 *Not Found" "$out" && return 1
  return 2
}

# Sets got[source] to the version fetched: the wanted one or, when the
# archive does not serve that one, the newest other one it does, with a
# warning (GLIMMORA_WINLIBS_EXACT=1 makes that an error).
declare -A got
fetch_source() { # source
  local src=$1 ver=${want[$1]} v r=0 known
  if have_source "$src" "$ver"; then got[$src]=$ver; return 0; fi
  update_private_lists
  try_fetch "$src" "$ver" || r=$?
  if [ $r -eq 0 ]; then got[$src]=$ver; return 0; fi
  if [ $r -ne 1 ] || [ "${GLIMMORA_WINLIBS_EXACT:-0}" = 1 ]; then
    fail_log "$logs/apt-source.log" "fetching $src $ver"
  fi
  mapfile -t known < <(apt_cache_private showsrc --only-source "$src" 2>/dev/null |
                       awk '/^Version:/{print $2}' | sort -u)
  for v in $(newest_first "${known[@]}"); do
    [ "$v" = "$ver" ] && continue
    r=0
    have_source "$src" "$v" || try_fetch "$src" "$v" || r=$?
    [ $r -eq 1 ] && continue
    [ $r -eq 0 ] || fail_log "$logs/apt-source.log" "fetching $src $v"
    say "WARNING: the archive lists $src $ver (the Linux package's version) but does not serve its source; building $src $v instead"
    got[$src]=$v
    return 0
  done
  fail_log "$logs/apt-source.log" "fetching $src: no version of it is served"
}

# --- Building ---------------------------------------------------------------

fail_log() { # log what
  say "---- last lines of $1 ----"
  tail -n 40 "$1" >&2 || true
  die "$2 failed (full log: $1)"
}

# Runs one build step in a subshell with -e in force, its output in a log,
# and tells how long it took (wall and CPU), to see where the time goes.
step() { # name function
  local log="$logs/$1.log" rc took TIMEFORMAT="%0R s (CPU %0U+%0S s)"
  say "building $1 ${got[$1]:-}"
  set +e
  took=$({ time { (set -e; cd "$work"; "$2" "$1") >"$log" 2>&1; }; } 2>&1)
  rc=$?
  set -e
  [ $rc -eq 0 ] || fail_log "$log" "building $1"
  say "  $1: $took"
}

unpack() { # source -> sets srcdir
  srcdir=$work/src/$1
  rm -rf "$srcdir"
  mkdir -p "$work/src"
  dpkg-source --no-copy -x "$sources/${1}_${got[$1]#*:}.dsc" "$srcdir"
}

cmake_build() { # destination extra-args...
  local dest=$1; shift
  cmake -S "$srcdir" -B "$work/build/$(basename "$srcdir")" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
    -DCMAKE_INSTALL_PREFIX="$dest" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF \
    "${launcher[@]}" "$@"
  cmake --build "$work/build/$(basename "$srcdir")" -j "$jobs"
  cmake --install "$work/build/$(basename "$srcdir")"
}

build_zlib() {
  unpack "$1"
  cd "$srcdir"
  CHOST=$host CC="$ccache_cmd$cc" AR=$host-ar RANLIB=$host-ranlib CFLAGS=-O2 \
    ./configure --static --prefix="$prefix"
  make -j "$jobs" libz.a
  make install
}

build_libpng1.6() {
  unpack "$1"
  cmake_build "$prefix" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
    -Dld-version-script=OFF
}

build_libjpeg-turbo() {
  unpack "$1"
  # jpeg62 API as on Debian; SIMD required, so a missing nasm cannot slip
  # through as a slow build.
  cmake_build "$prefix" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm
}

build_giflib() {
  unpack "$1"
  cd "$srcdir"
  # Upstream has only a Makefile, whose library target cross-compiles as is.
  make -j "$jobs" libgif.a CC="$ccache_cmd$cc" AR=$host-ar OFLAGS=-O2
  install -D -m644 libgif.a "$prefix/lib/libgif.a"
  install -D -m644 gif_lib.h "$prefix/include/gif_lib.h"
  local version
  version=$(sed -n 's/^VERSION=//p' Makefile)
  mkdir -p "$prefix/lib/pkgconfig"
  # No pkg-config file upstream; this one lets the project find it like the rest.
  cat >"$prefix/lib/pkgconfig/giflib.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: giflib
Description: GIF image library
Version: ${version:-5}
Libs: -L\${libdir} -lgif
Cflags: -I\${includedir}
EOF
}

build_libwebp() {
  unpack "$1"
  # Decoding libraries only (libsharpyuv is inside libwebp in this version).
  cmake_build "$prefix" -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF \
    -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF \
    -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_LIBWEBPMUX=OFF \
    -DWEBP_BUILD_EXTRAS=OFF
}

# dav1d, libde265 and libheif go to a private stage: the application gets
# them only as libheif.dll.
build_dav1d() {
  unpack "$1"
  meson setup "$work/build/dav1d" "$srcdir" --cross-file "$work/cross.meson" \
    --prefix="$stage" --libdir=lib -Ddefault_library=static \
    -Dbuildtype=release -Doptimization=2 -Db_ndebug=true \
    -Denable_tools=false -Denable_tests=false -Denable_examples=false -Denable_docs=false
  ninja -C "$work/build/dav1d" -j "$jobs" install
}

build_libde265() {
  unpack "$1"
  cmake_build "$stage" -DENABLE_SDL=OFF -DENABLE_DECODER=OFF -DENABLE_ENCODER=OFF
}

build_libheif() {
  unpack "$1"
  # Built as a static library first with the two decoders compiled in (no
  # plugin loading), then linked into the DLL below.
  cmake_build "$stage" -DENABLE_PLUGIN_LOADING=OFF -DWITH_EXAMPLES=OFF \
    -DWITH_LIBDE265=ON -DWITH_DAV1D=ON -DWITH_X265=OFF -DWITH_AOM_DECODER=OFF \
    -DWITH_AOM_ENCODER=OFF -DWITH_SvtEnc=OFF -DWITH_RAV1E=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_X265=ON -DCMAKE_DISABLE_FIND_PACKAGE_AOM=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_SvtEnc=ON -DCMAKE_DISABLE_FIND_PACKAGE_RAV1E=ON \
    2>&1 | tee "$work/libheif-configure.txt"
  grep -q "libde265 (HEIC decoder): found (built-in)" "$work/libheif-configure.txt" ||
    { echo "libde265 was not found for libheif"; exit 1; }
  grep -q "Dav1d (AVIF decoder): found (built-in)" "$work/libheif-configure.txt" ||
    { echo "dav1d was not found for libheif"; exit 1; }
}

# One DLL exporting exactly libheif's C API (heif_*), with the decoders and
# the C/C++ runtime inside, so it needs nothing but Windows' own DLLs.
link_libheif_dll() {
  local dir=$work/dll
  mkdir -p "$dir" "$prefix/bin" "$prefix/lib/pkgconfig" "$prefix/include"
  {
    echo "LIBRARY libheif.dll"
    echo "EXPORTS"
    $host-nm -g --defined-only "$stage/lib/libheif.a" |
      awk '$3 ~ /^heif_/ { print "  " $3 ($2 ~ /[DRB]/ ? " DATA" : "") }' | sort -u
  } >"$dir/libheif.def"
  $cxx -shared -o "$prefix/bin/libheif.dll" "$dir/libheif.def" \
    -Wl,--whole-archive "$stage/lib/libheif.a" -Wl,--no-whole-archive \
    "$stage/lib/libde265.a" "$stage/lib/libdav1d.a" \
    -static -static-libgcc -static-libstdc++ -s \
    -Wl,--out-implib,"$prefix/lib/libheif.dll.a"
  local foreign
  foreign=$($host-objdump -p "$prefix/bin/libheif.dll" | awk '/DLL Name:/{print $3}' |
    grep -viE '^(kernel32|msvcrt|user32|advapi32|ws2_32|bcrypt|ole32|shell32)\.dll$' || true)
  [ -z "$foreign" ] || { echo "libheif.dll needs other DLLs: $foreign"; exit 1; }
  # The Windows build links with -static, which makes ld look only for
  # libheif.a or heif.lib: the second name lets it find the import library.
  ln -sf libheif.dll.a "$prefix/lib/heif.lib"
  cp -r "$stage/include/libheif" "$prefix/include/"
  local version
  version=$(PKG_CONFIG_LIBDIR=$stage/lib/pkgconfig pkg-config --modversion libheif)
  # Links the import library; the decoders are inside the DLL.
  cat >"$prefix/lib/pkgconfig/libheif.pc" <<EOF
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include

Name: libheif
Description: HEIF image decoder (libheif.dll, with libde265 and dav1d)
Version: $version
Libs: -L\${libdir} -lheif
Cflags: -I\${includedir}
EOF
}

collect_licences() {
  local entry src f
  for entry in "${libraries[@]}"; do
    src=${entry% *}
    mkdir -p "$prefix/share/licenses/$src"
    cp "$work/src/$src/debian/copyright" "$prefix/share/licenses/$src/copyright"
    for f in "$work/src/$src"/{COPYING,LICENSE,LICENCE,COPYRIGHT,PATENTS,README.ijg}*; do
      [ -f "$f" ] && cp "$f" "$prefix/share/licenses/$src/"
    done
  done
  return 0
}

write_generated_files() {
  cat >"$work/toolchain.cmake" <<EOF
# The project's MinGW toolchain, finding the libraries built so far first.
include("$toolchain")
list(PREPEND CMAKE_FIND_ROOT_PATH "$prefix" "$stage")
# Library builds run nothing they build; keeps Wine out of their checks.
unset(CMAKE_CROSSCOMPILING_EMULATOR)
EOF
  local launch=""
  [ -n "$ccache_cmd" ] && launch="'ccache', "
  cat >"$work/cross.meson" <<EOF
[binaries]
c = [${launch}'$cc']
cpp = [${launch}'$cxx']
ar = '$host-ar'
strip = '$host-strip'
windres = '$host-windres'
pkg-config = 'pkg-config'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
}

# --- Main -------------------------------------------------------------------

# All of it in one function, so that bash has read the whole script before it
# runs: editing or updating the file during a long build cannot derail it.
main() {
  [ -f "$toolchain" ] || die "missing $toolchain"
  resolve_versions
  key=$(cache_key)
  prefix=$cache/$host-$key
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi

  mkdir -p "$cache"
  exec 9>"$cache/.lock"
  # One build at a time per cache; a run that waited may find the work done.
  flock 9
  ensure_tools
  resolve_versions # installing tools may have refreshed apt's lists
  key=$(cache_key)
  prefix=$cache/$host-$key
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi

  start=$(date +%s)
  sources=$cache/sources
  work=$cache/work
  logs=$cache/logs
  stage=$work/stage
  rm -rf "$work" "$logs" "$prefix"
  mkdir -p "$sources" "$work" "$logs" "$stage"
  : >"$logs/apt-source.log"

  for entry in "${libraries[@]}"; do fetch_source "${entry% *}"; done

  ccache_cmd=""
  launcher=()
  if command -v ccache >/dev/null; then
    ccache_cmd="ccache "
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  # pkg-config sees only what is built here, never the Linux libraries.
  export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig:$stage/lib/pkgconfig"
  unset PKG_CONFIG_PATH PKG_CONFIG_SYSROOT_DIR
  write_generated_files

  for entry in "${libraries[@]}"; do
    src=${entry% *}
    step "$src" "build_$src"
  done
  step libheif.dll link_libheif_dll
  collect_licences

  # The libraries' own tools, scripts and manuals are of no use here.
  find "$prefix/bin" -mindepth 1 ! -name libheif.dll -delete
  rm -rf "$prefix/share/man" "$prefix/share/doc"
  for f in include/zlib.h include/png.h include/jpeglib.h include/gif_lib.h include/webp/decode.h \
           include/webp/demux.h include/libheif/heif.h lib/libz.a lib/libpng16.a lib/libjpeg.a \
           lib/libgif.a lib/libwebp.a lib/libwebpdemux.a lib/libheif.dll.a lib/heif.lib bin/libheif.dll \
           lib/pkgconfig/zlib.pc lib/pkgconfig/libpng.pc lib/pkgconfig/libjpeg.pc \
           lib/pkgconfig/giflib.pc lib/pkgconfig/libwebp.pc lib/pkgconfig/libwebpdemux.pc \
           lib/pkgconfig/libheif.pc; do
    [ -e "$prefix/$f" ] || die "the build left no $prefix/$f"
  done
  {
    echo "# Source packages built (Debian source version, and the Linux package's)"
    for entry in "${libraries[@]}"; do
      src=${entry% *}
      echo "$src ${got[$src]} ${want[$src]}"
    done
  } >"$prefix/share/versions.txt"
  touch "$prefix/.complete"
  rm -rf "$work"
  say "done in $(($(date +%s) - start)) s"
  echo "$prefix"
}

main "$@"
