#!/usr/bin/env bash
# Fails when the game's code outside platform/ sees SDL, FreeType, fontconfig
# or pixman, or when a file other than the MP3 decoder sees lame, either by
# including the library's header itself or through one of our headers that
# does. Tests and build tools that drive these libraries directly are not the
# game's code and are left out.
#
#   check-includes.sh [source root]
set -euo pipefail

root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# Headers of the libraries kept behind the platform, and of lame.
readonly kPlatformLibraries='(SDL[^/]*\.h|SDL2/[^>"]*|ft2build\.h|freetype2?/[^>"]*|fontconfig/[^>"]*|pixman[^>"]*)'
readonly kLame='lame/[^>"]*'
# The one file that may use lame.
readonly kLameUser='audio/Mp3Decoder.cpp'
# Our folders that are not the game's code.
readonly kExempt='^(tests|tools|build[^/]*)/'

mapfile -t sources < <(find . -path ./.git -prune -o -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' \
    -o -name '*.cpp' \) -print | sed 's|^\./||' | grep -Ev "$kExempt" | sort)

# Our files that reach a header matching `pattern`: first those that include
# one, then, until nothing changes, those that include one of ours already
# found. Includes are written from the source root.
reaching()
{
    local pattern=$1
    local -A found=()
    local file
    while IFS= read -r file; do
        found[$file]=1
    done < <(grep -lE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[<\"]${pattern}[>\"]" "${sources[@]}" || true)
    local grew=1
    while ((grew)); do
        grew=0
        local headers=()
        for file in "${!found[@]}"; do
            [[ $file == *.h || $file == *.hpp ]] && headers+=("$file")
        done
        ((${#headers[@]})) || break
        local alternatives
        alternatives=$(printf '%s\n' "${headers[@]}" | sed 's/[.[\*^$]/\\&/g' | paste -sd '|')
        while IFS= read -r file; do
            if [[ -z ${found[$file]+set} ]]; then
                found[$file]=1
                grew=1
            fi
        done < <(grep -lE "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"(${alternatives})\"" "${sources[@]}" || true)
    done
    printf '%s\n' "${!found[@]}" | sort
}

status=0
while IFS= read -r file; do
    [[ -z $file || $file == platform/* ]] && continue
    echo "check-includes: $file sees SDL, FreeType, fontconfig or pixman outside platform/" >&2
    status=1
done < <(reaching "$kPlatformLibraries")
while IFS= read -r file; do
    [[ -z $file || $file == "$kLameUser" ]] && continue
    echo "check-includes: $file sees lame; only $kLameUser may" >&2
    status=1
done < <(reaching "$kLame")
((status == 0)) && echo "check-includes: ${#sources[@]} files, the libraries stay behind their walls"
exit "$status"
