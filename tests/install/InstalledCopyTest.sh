#!/usr/bin/env bash
# The package as a user gets it: made with CPack, unpacked into a temporary root and started from there
# with the build and source folders covered by empty file systems in a private mount namespace, so that
# any read of them finds nothing. On a fresh data root the installed copy must show the very picture the
# build's own binary shows, and a damaged resource folder must give one message that names it. The
# launcher entry and metainfo are checked by their validators.
# Usage: InstalledCopyTest.sh BUILD_DIR SOURCE_DIR (run as root, for the mount namespace).
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
work=$(mktemp -d /tmp/corvane-installed-XXXXXX)
trap 'rm -rf "$work"' EXIT
# In a sanitizer build the program reports fontconfig's caches, which live as long as the process, as
# leaks at exit; this test is about where the program finds its files, the test binaries about leaks.
export LSAN_OPTIONS=detect_leaks=0
export QT_QPA_PLATFORM=offscreen

fail() {
    echo "FAIL: $*" >&2
    trap - EXIT
    exit 1
}

# Runs a command with the build and source folders hidden.
hidden() {
    unshare --mount --propagation private bash -c \
        'mount -t tmpfs none "$1" && mount -t tmpfs none "$2" && shift 2 && exec "$@"' \
        hidden "$build" "$source" "$@"
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/package/corvane_*.deb)
dpkg-deb -x "$deb" "$work/root"
depends=$(dpkg-deb -f "$deb" Depends)
for need in libqt6widgets6 libsmbclient libarchive13 libnettle8 p7zip-full fonts-dejavu-core hicolor-icon-theme; do
    grep -q "$need" <<<"$depends" || fail "the package does not depend on $need: $depends"
done
bin=$work/root/usr/bin/corvane
[ -x "$bin" ] || fail "no bin/corvane in the package"
[ -f "$work/root/usr/share/corvane/layouts/IDF_MAINFORM.xml" ] || fail "no share/corvane in the package"
! grep -q -F "$build" "$bin" || fail "the installed binary names the build folder"

# The launcher entry and the software centre's description pass their validators; the icon is a picture.
share=$work/root/usr/share
desktop-file-validate "$share/applications/org.corvane.Corvane.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/org.corvane.Corvane.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate"; }
grep -q '<release version="[0-9]' "$share/metainfo/org.corvane.Corvane.metainfo.xml" || fail "no release version"
grep -q '<svg' "$share/icons/hicolor/scalable/apps/org.corvane.Corvane.svg" || fail "no scalable icon"

version=$(hidden "$bin" --version)
[[ $version =~ ^corvane\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "--version printed: $version"
hidden "$bin" --help | grep -q -- '--root DIR' || fail "--help lacks --root"

"$build/corvane" --root "$work/built-data" --screenshot "$work/built.png"
hidden "$bin" --root "$work/installed-data" --screenshot "$work/installed.png"
[ -d "$work/installed-data/Home" ] || fail "the installed copy did not lay out a fresh data root"
cmp -s "$work/built.png" "$work/installed.png" ||
    fail "the installed copy's first screen differs from the build's (pictures in $work, kept)"

# A resource folder that lost a file, then one that is gone: one message naming it, no window.
expect_refusal() {
    local wanted=$1 out rc=0
    out=$(hidden "$bin" --root "$work/installed-data" --screenshot "$work/refused.png" 2>&1) || rc=$?
    [ "$rc" -ne 0 ] || fail "started without its resources"
    [ ! -e "$work/refused.png" ] || fail "showed a window without its resources"
    grep -q -F "$wanted" <<<"$out" || fail "said \"$out\", not \"$wanted\""
    [ "$(wc -l <<<"$out")" -eq 1 ] || fail "said more than one line: $out"
}
rm "$work/root/usr/share/corvane/layouts/IDF_MAINFORM.xml"
expect_refusal "$work/root/usr/share/corvane lacks layouts/IDF_MAINFORM.xml"
rm -r "$work/root/usr/share/corvane"
expect_refusal "the resource folder $work/root/usr/share/corvane is missing"
echo "installed copy: ok"
