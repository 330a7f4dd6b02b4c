#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh) and checks it: its fields and
# dependencies, that it holds exactly the files the install rules put there,
# that the desktop entry, the AppStream metainfo and the manual pages pass
# their validators and agree with each other, that the packaged programs run,
# and that the bash completion of dtucfg offers what it should.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${DTU_BUILD_DIR:-build}"
deb=$(scripts/package.sh | tail -n1)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "check-package: $*" >&2; failures=$((failures + 1)); }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
app_id=$(sed -n 's/^DTU_APP_ID:STRING=//p' "$BUILD_DIR/CMakeCache.txt")
[[ $(basename "$deb") == "dtutools_${version}_amd64.deb" ]] || fail "package file $(basename "$deb")"

# Control fields: dpkg-shlibdeps found the Qt libraries; the run-time needs
# it cannot see are declared.
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == dtutools ]] || fail "Package: $(field Package)"
[[ $(field Version) == "$version" ]] || fail "Version: $(field Version), not $version"
[[ $(field Architecture) == amd64 ]] || fail "Architecture: $(field Architecture)"
[[ -n $(field Maintainer) && -n $(field Section) && -n $(field Description) ]] || fail "Maintainer, Section or Description missing"
depends=$(field Depends)
for need in libc6 libqt6core6 libqt6widgets6 libqt6serialport6 libqt6qml6 libqt6sql6 libqt6sql6-sqlite qt6-qpa-plugins \
  fonts-wqy-microhei; do
  [[ ", $depends" == *", $need "* || ", $depends," == *", $need,"* || "$depends" == *"| $need"* || ", $depends" == *", $need |"* ]] ||
    fail "Depends lacks $need: $depends"
done

# Exactly the installed files, under /usr, root-owned, programs executable.
listing=$(dpkg-deb -c "$deb")
diff -u <(sed 's#^#./usr/#' "$BUILD_DIR/dist/installed-files.txt" | LC_ALL=C sort) \
        <(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | LC_ALL=C sort) ||
  fail "package contents differ from $BUILD_DIR/dist/installed-files.txt (- expected, + packaged)"
awk '$1 !~ /^d/ && $2 != "root/root" {print}' <<<"$listing" | grep . && fail "files not owned by root"
for program in dtuconfig dtucfg dtusim; do
  grep -qE "^-rwxr-xr-x .* \./usr/bin/$program\$" <<<"$listing" || fail "/usr/bin/$program is not mode 755"
done

dpkg-deb -x "$deb" "$work/root"
usr=$work/root/usr

# The packaged programs run (stripped, linked against the system's Qt).
for program in dtuconfig dtucfg dtusim; do
  line=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/$program" --version 2>&1) || fail "$program --version failed: $line"
  [[ $line == "$program $version" ]] || fail "$program --version printed \"$line\""
done

# Desktop entry: valid, and naming what the package installs.
desktop=$usr/share/applications/dtuconfig.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate failed"
key() { sed -n "s/^$1=//p" "$desktop"; }
[[ $(key Name) == "DTU 参数配置" ]] || fail "desktop Name=$(key Name)"
[[ -n $(key 'Name\[en\]') && -n $(key GenericName) ]] || fail "desktop entry lacks Name[en] or GenericName"
[[ $(key Categories) == "Utility;Electronics;" ]] || fail "desktop Categories=$(key Categories)"
for word in DTU serial modem GPRS; do
  [[ ";$(key Keywords)" == *";$word;"* ]] || fail "desktop Keywords lack $word"
done
exec_program=$(key Exec | cut -d' ' -f1)
[[ -x $usr/bin/$exec_program ]] || fail "desktop Exec=$exec_program is not a packaged program"
icon=$(key Icon)
[[ -f $usr/share/icons/hicolor/scalable/apps/$icon.svg && -f $usr/share/icons/hicolor/48x48/apps/$icon.png ]] ||
  fail "desktop Icon=$icon has no packaged SVG and 48 px PNG"
file -b "$usr/share/icons/hicolor/48x48/apps/$icon.png" | grep -q '^PNG image data, 48 x 48' ||
  fail "the 48 px icon is $(file -b "$usr/share/icons/hicolor/48x48/apps/$icon.png")"
grep -q '<svg' "$usr/share/icons/hicolor/scalable/apps/$icon.svg" || fail "the scalable icon is not SVG"

# AppStream metainfo: valid offline, and agreeing with the package.
metainfo=$usr/share/metainfo/$app_id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >"$work/appstream.txt" 2>&1 || {
  cat "$work/appstream.txt" >&2
  fail "appstreamcli validate failed"
}
grep -q "<launchable type=\"desktop-id\">dtuconfig.desktop</launchable>" "$metainfo" || fail "metainfo launchable"
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo has no release $version"
grep -q '<screenshot type="default">' "$metainfo" || fail "metainfo has no screenshot"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "metainfo has no content rating"

# Manual pages: each renders without a warning, with its sections.
for program in dtuconfig dtucfg dtusim; do
  page=$usr/share/man/man1/$program.1.gz
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l --warnings "$page" 2>&1 >"$work/$program.txt") || fail "man $program failed"
  [[ -z $warnings ]] || fail "man $program warns: $warnings"
  for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" FILES EXAMPLES "SEE ALSO" "SERIAL PORT ACCESS"; do
    [[ $program == dtusim && $section == "SERIAL PORT ACCESS" ]] && continue
    grep -q "^$section\$" "$work/$program.txt" || fail "man $program has no $section section"
  done
  grep -q "dtutools $version" "$work/$program.txt" || fail "man $program does not name version $version"
done
# Every option and command dtucfg knows is in its page.
for word in $("$usr/bin/dtucfg" --help | grep -oE '^  (--[a-z-]+|[a-z-]+)' | tr -d ' '); do
  grep -qe "^       $word\b" "$work/dtucfg.txt" || fail "man dtucfg does not describe $word"
done
grep -q dialout "$work/dtucfg.txt" && grep -q dialout "$work/dtuconfig.txt" || fail "the dialout group is not explained"

# Bash completion of dtucfg.
completion=$usr/share/bash-completion/completions/dtucfg
completions() {
  (cd "$work/cwd" && bash --norc --noprofile -c '
    source /usr/share/bash-completion/bash_completion
    source "$1"
    COMP_LINE=$2
    COMP_POINT=${#COMP_LINE}
    read -ra COMP_WORDS <<<"$COMP_LINE"
    [[ $COMP_LINE == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _dtucfg dtucfg "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$1" | LC_ALL=C sort | xargs)
}
expect_completion() {
  local got
  got=$(completions "$1")
  [[ $got == "$2" ]] || fail "completing \"$1\" gave \"$got\", not \"$2\""
}
mkdir -p "$work/cwd/profiles"
touch "$work/cwd/my_profile.txt"
expect_completion "dtucfg --p" "--password --port --profile"
expect_completion "dtucfg --fast --port /dev/ttyUSB0 re" "read reset restore"
expect_completion "dtucfg --format 8E" "8E1 8E2"
expect_completion "dtucfg --level " "0 1 2"
expect_completion "dtucfg --lang " "en zh"
expect_completion "dtucfg --profile my" "my_profile.txt"
expect_completion "dtucfg --script pro" "profiles"
expect_completion "dtucfg --port " "$(ls -d /dev/ttyS* /dev/ttyUSB* /dev/ttyACM* /dev/serial/by-id/* 2>/dev/null | LC_ALL=C sort | xargs)"
expect_completion "dtucfg read --js" "--json"
expect_completion "dtucfg read --j" "--jobs --json"
expect_completion "dtucfg --limit 5 hi" "history"
expect_completion "dtucfg history --no" "--no-records"

if ((failures)); then
  echo "check-package: $failures problem(s) in $deb" >&2
  exit 1
fi
echo "check-package: $deb is good"
