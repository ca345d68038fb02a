# Shared by the README's commands: package installation and the build presets.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(
  cmake ninja-build g++ file git pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev zlib1g-dev libxlsxwriter-dev
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  wine wine64 wine32:i386 fonts-wine xvfb openbox x11-utils xdotool imagemagick liblnk-utils
  python3-openpyxl clang-14 libclang-rt-14-dev
  osslsigncode openssl clang-format
  locales
)

install_packages() {
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Generates a locale (for example de_DE.UTF-8) once, so that programs started in it
# (Wine among them) take its language.
ensure_locale() {
  local want=$1 have
  have=$(printf '%s' "${want%%.*}.utf8" | tr '[:upper:]' '[:lower:]')
  locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$have" && return 0
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  if ! grep -q "^$want UTF-8" /etc/locale.gen 2>/dev/null; then
    echo "$want UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
  fi
  $sudo locale-gen >/dev/null
}

# Wine's 32-bit loader is a 32-bit Linux program; some kernels cannot run those. There
# the Windows tests run from the 64-bit build of the same sources.
can_run_32bit() {
  [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

wine_preset() {
  if can_run_32bit; then echo win32; else echo win64; fi
}

# build_preset <preset> [targets...]: all targets when none are named.
build_preset() {
  local preset=$1
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --preset "$preset" >"$top/build/$preset.configure.log" 2>&1 || { cat "$top/build/$preset.configure.log"; return 1; }
  if ! cmake --build --preset "$preset" "${targets[@]}" >"$top/build/$preset.build.log" 2>&1; then
    grep -E -B2 -A12 'error|FAILED' "$top/build/$preset.build.log" | head -120
    return 1
  fi
}

# build_in <preset> <build folder> [targets...]: like build_preset, in a folder of one's
# own; its logs lie beside the folder.
build_in() {
  local preset=$1 dir=$2
  shift 2
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  mkdir -p "$(dirname "$dir")"
  cmake --preset "$preset" -B "$dir" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; return 1; }
  if ! cmake --build "$dir" -j2 "${targets[@]}" >"$dir.build.log" 2>&1; then
    grep -E -B2 -A12 'error|FAILED' "$dir.build.log" | head -120
    return 1
  fi
}
