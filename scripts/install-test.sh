#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR, makes the installed tree
# read-only and uses the installed tessaro-cli (and, briefly, the designer) as
# a user would, with HOME in a temporary folder. Then checks that nothing of
# the installed tree changed (checksums: CI runs as root, who may write
# read-only folders), validates the desktop entry, the AppStream metadata, the
# manual pages and the bash completion, and builds the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
src=$PWD
BUILD_DIR=${BUILD_DIR:-build}
scripts/deps.sh
BUILD_DIR=$BUILD_DIR scripts/build.sh

tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp" 2>/dev/null; rm -rf "$tmp"' EXIT
passed=0
ok() { passed=$((passed + 1)); echo "ok - $*"; }
fail() { echo "FAILED - $*" >&2; exit 1; }

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")
DESTDIR="$tmp/root" cmake --install "$BUILD_DIR" --prefix /usr >/dev/null
usr=$tmp/root/usr
id=org.tessaro.Tessaro
for f in bin/tessaro bin/tessaro-cli libexec/tessaro/Cabwizsp libexec/tessaro/CabLoader libexec/tessaro/tessaro-cli-qt \
         share/tessaro/Default share/tessaro/Yellow share/tessaro/WindowsMobile.JPG share/tessaro/info.txt \
         share/tessaro/IconBars/6.bmp share/tessaro/Faces/6.bmp share/tessaro/fonts/LiberationSans-Bold.ttf \
         share/tessaro/AnalogClock_Plugin.cab share/tessaro/WMP_Plugin.cab \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/48x48/apps/$id.png share/icons/hicolor/128x128/apps/$id.png \
         share/icons/hicolor/256x256/apps/$id.png share/icons/hicolor/scalable/apps/$id.svg \
         share/man/man1/tessaro.1.gz share/man/man1/tessaro-cli.1.gz \
         share/bash-completion/completions/tessaro-cli share/doc/tessaro/copyright; do
    [ -f "$usr/$f" ] || fail "the install lacks $f"
done
for size in 48 128 256; do
    [ "$(identify -format '%wx%h' "$usr/share/icons/hicolor/${size}x${size}/apps/$id.png")" = "${size}x${size}" ] ||
        fail "the ${size} icon has the wrong size"
done
ok "cmake --install puts every file in place"

chmod -R a-w "$tmp/root"
snapshot() {
    (cd "$tmp/root" && find . -printf '%y %m %s %p\n' | LC_ALL=C sort &&
        find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
}
snapshot > "$tmp/before"

# A user with an empty home folder, working in a folder of their own.
export HOME=$tmp/home TESSARO_DEVICE=$tmp/device
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_CACHE_HOME
mkdir -p "$HOME" "$tmp/work/out"
cp -r "$src/tests/data/preview/showcase" "$tmp/work/proj"
cd "$tmp/work"
cli=$usr/bin/tessaro-cli
workdir=$HOME/.local/share/tessaro

"$cli" xml proj/showcase.trpf out/Show.home.xml
grep -q 'Show' out/Show.home.xml || fail "xml wrote no layout"
cmp -s "$workdir/Default" "$usr/share/tessaro/Default" || fail "the work folder was not seeded"
[ "$(cat "$workdir/.tessaro-version")" = "$version" ] ||
    fail "the work folder's version stamp does not name $version"
ok "xml works, the work folder is seeded"

"$cli" cab proj/showcase.trpf out/Show.cab
cabextract -t out/Show.cab >/dev/null || fail "the cabinet does not extract"
ok "cab builds a sound cabinet"

"$cli" render proj/showcase.trpf out/Show.png
[ "$(identify -format '%wx%h' out/Show.png)" = "176x220" ] || fail "render drew no 176 x 220 picture"
ok "render draws the preview"

"$cli" check proj/showcase.trpf >/dev/null || fail "check found errors in the showcase or did not run"
"$cli" import out/Show.cab out/Imported.trpf 2>/dev/null
[ -f out/Imported/Imported.trpf ] || fail "import wrote no project"
ok "check and import run (in the helper folder's tessaro-cli-qt)"

"$cli" save proj/showcase.trpf out/Again.trpf
[ -f out/Again/Again.trpf ] && [ -f out/Again/user.scheme.xml ] || fail "save wrote no project folder"
[ "$("$cli" scheme "$usr/share/tessaro/Mint" | wc -l)" = 32 ] || fail "scheme printed no 32 colours"
ok "save and scheme work"

"$cli" install out/Show.cab >/dev/null
[ -f "$TESSARO_DEVICE/IPSM/Application Data/Home/Show.home.xml" ] || fail "install put no layout on the device"
grep -q 'Show.home.xml' "$TESSARO_DEVICE/registry.txt" || fail "install set no registry value"
"$cli" install "$usr/share/tessaro/AnalogClock_Plugin.cab" >/dev/null
ok "install fills the device folder"

# The designer starts on the installed tree and shows its window.
QT_QPA_PLATFORM=offscreen TESSARO_STARTUP_TIME=1 timeout 20 "$usr/bin/tessaro" 2>"$tmp/designer.err" &
designer=$!
for _ in $(seq 200); do
    grep -q 'window shown' "$tmp/designer.err" && break
    kill -0 "$designer" 2>/dev/null || break
    sleep 0.1
done
grep -q 'window shown' "$tmp/designer.err" || { cat "$tmp/designer.err" >&2; fail "the designer did not start"; }
kill "$designer"
wait "$designer" 2>/dev/null || true
ok "the installed designer starts"

cd "$src"
snapshot > "$tmp/after"
diff "$tmp/before" "$tmp/after" >&2 || fail "the installed tree changed"
ok "nothing of the installed tree was written"

desktop-file-validate "$usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >/dev/null
ok "desktop entry and AppStream metadata validate"

for page in tessaro tessaro-cli; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "manual page $page.1: $warnings"
done
commands=$(bash -c "source '$usr/share/bash-completion/completions/tessaro-cli'; _tessaro_cli_commands '$cli'" | tr '\n' ' ')
for c in xml save scheme render cab install; do
    [[ " $commands" == *" $c "* ]] || fail "completion does not offer $c (only: $commands)"
done
ok "manual pages and completion"

if command -v dpkg-shlibdeps >/dev/null; then
    (cd "$BUILD_DIR" && cpack -G DEB -B "$tmp/deb" >/dev/null)
    deb=$(ls "$tmp"/deb/tessaro_*.deb)
    depends=$(dpkg-deb -f "$deb" Depends)
    [[ $depends == *libqt6gui6* && $depends == *libgcab* && $depends == *libjpeg* ]] ||
        fail "the package declares no library dependencies: $depends"
    ok "the Debian package $(basename "$deb") depends on: $depends"
fi

echo "install-test: $passed passed, 0 failed"
