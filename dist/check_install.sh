#!/bin/sh
# Checks of what `cmake --install` and `cpack -G DEB` put on a system, run as
# tests (dist/desktop.cmake). Exit status 77 means the check's tool is not
# installed and the check was skipped.
#
#   check_install.sh stage        BUILD_DIR STAGING APP_ID
#   check_install.sh desktop-file STAGING APP_ID
#   check_install.sh appstream    STAGING APP_ID
#   check_install.sh mime         STAGING APP_ID
#   check_install.sh man          STAGING APP_ID
#   check_install.sh deb          BUILD_DIR WORK_DIR APP_ID
set -eu

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

need() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is not installed"
            exit 77
        fi
    done
}

# The files an installation must hold, relative to its root.
expected_files() {
    id=$1
    echo usr/bin/vantrel
    echo usr/bin/vantrel-cli
    echo "usr/share/applications/$id.desktop"
    echo "usr/share/metainfo/$id.metainfo.xml"
    echo "usr/share/mime/packages/$id.xml"
    for size in 16 24 32 48 64 128 256; do
        echo "usr/share/icons/hicolor/${size}x${size}/apps/$id.png"
    done
    echo usr/share/man/man1/vantrel.1.gz
    echo usr/share/man/man1/vantrel-cli.1.gz
}

# Runs a validator; any error or warning it prints fails the check.
validate() {
    output=$("$@" 2>&1) || { echo "$output"; fail "$*"; }
    echo "$output"
    if echo "$output" | grep -Eiq '(^|[: ])(error|warning|E:|W:)'; then
        fail "$* reported problems"
    fi
}

mode=$1
shift
case "$mode" in
stage)
    build=$1 staging=$2 id=$3
    rm -rf "$staging"
    DESTDIR="$staging" cmake --install "$build" --prefix /usr >/dev/null
    expected_files "$id" | while read -r file; do
        [ -f "$staging/$file" ] || fail "not installed: /$file"
    done
    echo "installed into $staging"
    ;;
desktop-file)
    need desktop-file-validate
    validate desktop-file-validate "$1/usr/share/applications/$2.desktop"
    ;;
appstream)
    need appstreamcli
    validate appstreamcli validate --no-net "$1/usr/share/metainfo/$2.metainfo.xml"
    # The metainfo, the .desktop file it launches and the icon, together.
    validate appstreamcli validate-tree --no-net "$1"
    ;;
mime)
    need update-mime-database
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/mime/packages"
    cp "$1/usr/share/mime/packages/$2.xml" "$work/mime/packages/"
    update-mime-database "$work/mime"
    grep -q '^[0-9]*:application/x-xwa-pilot:\*\.plt' "$work/mime/globs2" ||
        fail "*.plt is not application/x-xwa-pilot"
    grep -q '<comment>X-Wing Alliance pilot file</comment>' "$work/mime/application/x-xwa-pilot.xml" ||
        fail "the file type has not the comment X-Wing Alliance pilot file"
    grep -q '^MimeType=application/x-xwa-pilot;' "$1/usr/share/applications/$2.desktop" ||
        fail "the program does not open application/x-xwa-pilot"
    echo "*.plt: application/x-xwa-pilot, opened by $2.desktop"
    ;;
man)
    need groff gzip
    for page in vantrel vantrel-cli; do
        warnings=$(gzip -dc "$1/usr/share/man/man1/$page.1.gz" | groff -man -ww -z -Tutf8 2>&1)
        [ -z "$warnings" ] || { echo "$warnings"; fail "$page.1 has formatting problems"; }
    done
    echo "manual pages format cleanly"
    ;;
deb)
    need cpack dpkg-deb dpkg-shlibdeps
    build=$1 work=$2 id=$3
    rm -rf "$work"
    mkdir -p "$work"
    (cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
    deb=$(ls "$work"/vantrel_*.deb)
    [ "$(dpkg-deb -f "$deb" Package)" = vantrel ] || fail "package name"
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "Depends: $depends"
    for library in libqt6widgets6 libqt6gui6 libjpeg libc6; do
        echo "$depends" | grep -q "$library" || fail "Depends lacks $library"
    done
    dpkg-deb -x "$deb" "$work/root"
    expected_files "$id" | while read -r file; do
        [ -f "$work/root/$file" ] || fail "not in the package: /$file"
    done
    echo "$deb holds every file"
    ;;
*)
    fail "unknown check $mode"
    ;;
esac
