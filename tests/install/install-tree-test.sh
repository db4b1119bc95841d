#!/bin/sh
# Installs the build tree into a scratch DESTDIR, as `make install` and the Debian
# package do, and checks what lands there: the file list, the desktop entry and the
# AppStream metadata against their validators, the icon sizes, and the installed
# programs finding each other (the bridge its library) and writing working entries.
#   install-tree-test.sh BUILD_DIR
set -eu
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$stage/root" cmake --install "$build" --prefix /usr >"$stage/install.log" ||
    { cat "$stage/install.log" >&2; fail "cmake --install"; }
root="$stage/root/usr"

# Exactly these files, beside the program's data and the icon theme's sizes.
(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) >"$stage/files"
grep -v -e '^share/modwright/' -e '^share/icons/hicolor/' "$stage/files" >"$stage/main-files" || true
cat >"$stage/expected" <<'LIST'
bin/modwright
bin/modwright-cli
bin/modwright-shellmenu
lib/modwright/libmodwright-shellext.so
lib/modwright/modwright-cli-qt
share/applications/modwright.desktop
share/man/man1/modwright-cli.1.gz
share/man/man1/modwright.1.gz
share/metainfo/net.talwen.modwright.metainfo.xml
LIST
diff -u "$stage/expected" "$stage/main-files" || fail "installed files differ"
for program in bin/modwright bin/modwright-cli bin/modwright-shellmenu lib/modwright/modwright-cli-qt; do
    test -x "$root/$program" || fail "$program is not executable"
done

# The icon at every size, each PNG as large as its folder says (IHDR width and height).
for size in 16 22 32 48 64 128 256; do
    png="$root/share/icons/hicolor/${size}x${size}/apps/modwright.png"
    test -f "$png" || fail "no ${size}x${size} icon"
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
    test "$dims" = "${size}x${size}" || fail "${size}x${size} icon is $dims"
done
grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/modwright.svg" || fail "no scalable icon"

# Data: whatever the build put into share/modwright.
if [ -d "$build/share/modwright" ]; then
    (cd "$build/share/modwright" && find . -type f | sort) >"$stage/data-built"
    (cd "$root/share/modwright" 2>/dev/null && find . -type f | sort) >"$stage/data-installed" || true
    diff -u "$stage/data-built" "$stage/data-installed" || fail "share/modwright differs from the build's"
fi

desktop-file-validate "$root/share/applications/modwright.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$root/share/metainfo/net.talwen.modwright.metainfo.xml" ||
    fail "appstreamcli validate"
for page in modwright modwright-cli; do
    gzip -t "$root/share/man/man1/$page.1.gz" || fail "$page.1.gz"
    zcat "$root/share/man/man1/$page.1.gz" | grep -q "^\.TH" || fail "$page.1.gz is no man page"
done

# The installed programs, with scratch configuration and data folders: the main
# program registers the handler and writes the entries naming the installed
# bridge, which loads the installed library.
export MODWRIGHT_CONFIG_DIR="$stage/config" XDG_DATA_HOME="$stage/data" XDG_CONFIG_HOME="$stage/xdg" HOME="$stage/home"
mkdir -p "$HOME"
ready=$(QT_QPA_PLATFORM=offscreen MODWRIGHT_READY_EXIT=1 "$root/bin/modwright" 2>"$stage/gui.log") ||
    { cat "$stage/gui.log" >&2; fail "the installed program did not start"; }
test "$ready" = "ready" || fail "the installed program said \"$ready\""
grep -q "$root/bin/modwright-shellmenu" "$XDG_DATA_HOME/kio/servicemenus/modwright-edit-image.desktop" ||
    fail "the service menu does not run the installed bridge"
printf 'data' >"$stage/pic.jpg"
listed=$("$root/bin/modwright-shellmenu" --list "$stage/pic.jpg") || fail "the installed bridge offers nothing"
case "$listed" in
"Edit with..."*) ;;
*) fail "the installed bridge listed \"$listed\"" ;;
esac
"$root/bin/modwright-cli" shell-menus list | grep -q "^thunar" || fail "shell-menus list shows no Thunar action"
# The front answers "probe" itself (above, "shell-menus" went through it to the full program).
printf 'GIF89a\003\000\004\000\160\000\000' >"$stage/x.gif"
probed=$("$root/bin/modwright-cli" probe "$stage/x.gif") || fail "the installed front did not probe"
test "$probed" = "{\"file\": \"$stage/x.gif\", \"type\": \"image\", \"width\": 3, \"height\": 4, \"bits\": 8}" ||
    fail "the installed front probed \"$probed\""
echo "install tree OK"
