#!/usr/bin/env bash
# Installs a build into a scratch folder as a distribution would (prefix /usr, DESTDIR) and checks
# what lands there: exactly the expected files, a valid desktop entry and AppStream file, and
# names that agree with each other and with the files installed.
# Usage: check-install.sh BUILD_DIR CMAKE
set -euo pipefail
build=$1
cmake=$2
source "$(dirname "$0")/common.sh"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" "$cmake" --install "$build" --prefix /usr >/dev/null
usr="$stage/usr"
check_file_list "$usr"

desktop="$usr/share/applications/$app_id.desktop"
metainfo="$usr/share/metainfo/$app_id.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $app_id.desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $app_id.metainfo.xml"

# The desktop entry starts the installed program and shows the installed icon.
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Name)" = "Tilmora Picture Puzzle Game" ] || fail "Name=$(entry Name)"
[ "$(entry Categories)" = "Game;LogicGame;" ] || fail "Categories=$(entry Categories)"
[ -x "$usr/bin/$(entry Exec)" ] || fail "Exec=$(entry Exec) is not an installed program"
[ "$(entry Icon)" = "$app_id" ] || fail "Icon=$(entry Icon), expected the application id"

# Each icon is drawn at the size of the folder it is in: a desktop would scale a wrong one.
for size in 16 32 48 64 128 256; do
    png="$usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
    kind=$(file --brief "$png")
    [[ "$kind" == "PNG image data, $size x $size,"* ]] || fail "the ${size}x${size} icon is: $kind"
done

# The AppStream file names the desktop entry and the program that are installed.
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the AppStream file does not launch $app_id.desktop"
grep -q "<id>$app_id</id>" "$metainfo" || fail "the AppStream file's id is not $app_id"
grep -q "<binary>$(entry Exec)</binary>" "$metainfo" ||
    fail "the AppStream file does not provide the program $(entry Exec)"

echo "passed: $(wc -l <"$expected_files") files installed and checked"
