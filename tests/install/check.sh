#!/usr/bin/env bash
# What a distribution gets, in a scratch folder: `install` installs the build (DESTDIR, prefix /usr),
# `package` builds the .deb with CPack and unpacks it. TYPES: the MIME types of the formats the game
# opens, as the build's list has them. Usage: check.sh install|package BUILD CMAKE|CPACK "TYPES"
set -euo pipefail
mode=$1 build=$2 tool=$3 id=example.tilmora.PicturePuzzle arch=$(dpkg --print-architecture)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
read -ra types <<<"${4:-}"
if [ "$mode" = install ]; then
    DESTDIR="$out/root" "$tool" --install "$build" --prefix /usr >/dev/null
else
    "$tool" --config "$build/CPackConfig.cmake" -B "$out" >"$out/log" 2>&1 || fail "cpack: $(cat "$out/log")"
    deb=$out/tilmora-puzzle_1.0.0_$arch.deb
    dpkg-deb -x "$deb" "$out/root"
fi
# Exactly these files, nothing outside /usr.
cd "$out/root"
desktop=usr/share/applications/$id.desktop metainfo=usr/share/metainfo/$id.metainfo.xml
decoder=usr/libexec/tilmora-puzzle/tilmora-picture-decoder # the game's own, not on the PATH
expected=(usr/bin/tilmora-puzzle "$decoder" usr/share/doc/tilmora-puzzle/copyright "$desktop" "$metainfo"
    usr/share/icons/hicolor/{scalable/apps/$id.svg,{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png})
diff <(printf '%s\n' "${expected[@]}" | sort) <(find . ! -type d | cut -c3- | sort) || fail "other files (+)"
# Valid desktop and AppStream files that name each other, the icon and the program.
desktop-file-validate "$desktop" && appstreamcli validate --no-net "$metainfo" || fail "not valid"
# The entry takes one file, offered for the picture types the game opens; AppStream lists the same,
# and neither any other.
entry() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(entry Name)|$(entry Categories)|$(entry Icon)" = "Tilmora Picture Puzzle Game|Game;LogicGame;|$id" ] &&
    [ "$(entry Exec)" = "tilmora-puzzle %f" ] && [ -x usr/bin/tilmora-puzzle ] && [ -x "$decoder" ] &&
    [ "$(entry MimeType)" = "$(printf '%s;' "${types[@]}")" ] || fail "the desktop entry says: $(cat "$desktop")"
for lang in de fr es; do # named and described in every language the game speaks
    grep -q "^Name\[$lang\]=" "$desktop" && grep -q "<summary xml:lang=\"$lang\">" "$metainfo" || fail "no $lang"
done
for tag in "<id>$id</id>" ">$id.desktop</launchable>" "<binary>tilmora-puzzle</binary>" "${types[@]/%/</mediatype>}"; do
    grep -qF "$tag" "$metainfo" || fail "the AppStream file lacks $tag"
done
[ "$(grep -c "<mediatype>" "$metainfo")" = "${#types[@]}" ] || fail "the AppStream file names other types"
[ "$mode" = package ] || exit 0

# Owned by root, folders and the programs 0755, other files 0644; the control fields; the libraries
# linked, each with the version dpkg-shlibdeps found; a synopsis, then a long description.
odd=$(dpkg-deb --contents "$deb" | awk '$1 $2 !~ /^(-rw-r--r--|drwxr-xr-x)root\/root$/ { print $1, $2, $6 }')
[ "$odd" = "$(printf '%s\n' "-rwxr-xr-x root/root ./usr/bin/tilmora-puzzle" "-rwxr-xr-x root/root ./$decoder")" ] ||
    fail "owners or modes: $odd"
fields=$(dpkg-deb -f "$deb" Package Version Architecture Section Maintainer Homepage Description | tr '\n' '|')
[[ $fields == "Package: tilmora-puzzle|Version: 1.0.0|Architecture: $arch|Section: games|Maintainer: Tilmora \
developers <developers@tilmora.example>|Homepage: https://www.tilmora.example|Description: sliding picture \
puzzle with pictures of your own| Load a picture"*"|"*"|"* ]] || fail "control fields: $fields"
depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libseccomp2 libheif1; do
    [[ $depends =~ (^|, )"$library (>= " ]] || fail "Depends lacks $library with a version: $depends"
done
