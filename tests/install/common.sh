# Shared by the install and package checks. Sourced, not run.

app_id=example.tilmora.PicturePuzzle
expected_files="$(dirname "${BASH_SOURCE[0]}")/expected-files.txt"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Fails unless the files under a prefix (e.g. <root>/usr) are exactly the expected ones.
check_file_list() {
    local prefix=$1 found
    found=$(cd "$prefix" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
    if ! diff -u <(LC_ALL=C sort "$expected_files") <(echo "$found") >&2; then
        fail "the files under $prefix differ from $expected_files (- expected, + found)"
    fi
}
