#!/usr/bin/env bash
# Builds the Debian package from a build tree with CPack, unpacks it into a scratch folder (nothing
# is installed) and checks its files and its control fields, the library dependencies that
# dpkg-shlibdeps found among them.
# Usage: check-package.sh BUILD_DIR CPACK
set -euo pipefail
build=$1
cpack=$2
source "$(dirname "$0")/common.sh"

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! "$cpack" --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log" >&2
    fail "cpack could not build the package"
fi
deb="$out/tilmora-puzzle_1.0.0_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(cd "$out" && echo *.deb)"

dpkg-deb -x "$deb" "$out/root"
[ "$(ls "$out/root")" = "usr" ] || fail "the package puts files outside /usr: $(ls "$out/root")"
check_file_list "$out/root/usr"

# Everything belongs to root; the program is executable, nothing else is, and nothing is writable
# by others.
listing=$(dpkg-deb --contents "$deb")
not_root=$(grep -v ' root/root ' <<<"$listing" || true)
[ -z "$not_root" ] || fail "files not owned by root/root:
$not_root"
grep -q '^-rwxr-xr-x .* \./usr/bin/tilmora-puzzle$' <<<"$listing" || fail "the program is not 0755:
$listing"
odd_modes=$(grep '^-' <<<"$listing" | grep -v '/usr/bin/' | grep -v '^-rw-r--r-- ' || true)
[ -z "$odd_modes" ] || fail "data files that are not 0644:
$odd_modes"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = tilmora-puzzle ] || fail "Package: $(field Package)"
[ "$(field Version)" = 1.0.0 ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^Tilmora\ developers\ \<.+@.+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Homepage)" = https://www.tilmora.example ] || fail "Homepage: $(field Homepage)"
description=$(field Description)
[ "$(head -n 1 <<<"$description")" = "sliding picture puzzle with pictures of your own" ] ||
    fail "the Description's first line (the synopsis) is: $(head -n 1 <<<"$description")"
[ "$(wc -l <<<"$description")" -gt 2 ] || fail "the Description has no long text: $description"
[ "$(sed -n 2p <<<"$description")" != " $(head -n 1 <<<"$description")" ] ||
    fail "the long Description repeats the synopsis: $description"

# The libraries the program links to come from dpkg-shlibdeps, each with a minimum version.
depends=$(field Depends)
declare -A depends_on
IFS=',' read -ra items <<<"$depends"
for item in "${items[@]}"; do
    item=${item# }
    depends_on[${item%% *}]=${item#"${item%% *}"}
done
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    [[ -v "depends_on[$library]" ]] || fail "Depends lacks $library: $depends"
    [[ "${depends_on[$library]}" == " (>= "* ]] || fail "no version on $library in Depends: $depends"
done

echo "passed: $(basename "$deb"), Depends: $depends"
