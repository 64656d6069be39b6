#!/usr/bin/env bash
# Fails when a source folder includes a folder above it. The native library's
# folders are layered; a folder may include its own files and the folders
# listed below it, never those above.
set -euo pipefail

src="${1:-$(dirname "$0")/../src}"

# Highest layer first.
layers=(native device context render coverage span paint ops blend image geometry core)

declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

status=0
while IFS= read -r -d '' file; do
    folder="${file#"$src"/}"
    folder="${folder%%/*}"
    if [[ -z "${rank[$folder]+x}" ]]; then
        echo "$file: folder '$folder' has no place in the layer table" >&2
        status=1
        continue
    fi
    while IFS= read -r line; do
        included="${line#*\"}"
        included="${included%%/*}"
        [[ "$included" == "$folder" ]] && continue
        if [[ -z "${rank[$included]+x}" ]]; then
            echo "$file: includes '$line' from a folder with no place in the layer table" >&2
            status=1
        elif (( rank[$included] < rank[$folder] )); then
            echo "$file: $folder includes $included, a layer above it" >&2
            status=1
        fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[a-z0-9_]+/' "$file" || true)
done < <(find "$src" -mindepth 2 \( -name '*.h' -o -name '*.cpp' \) -print0)

if (( status == 0 )); then
    echo "layers: ${layers[*]} (each includes only those after it)"
fi
exit $status
