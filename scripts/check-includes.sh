#!/usr/bin/env bash
# Keeps the core's dependencies running one way:
#   app/ -> checks/ -> the probes (local/, web/, version/) -> base/
# and the window (window/), a front end, above the whole core.
# A file may include its own folder and any folder below it, never one
# above; a probe folder never includes another probe folder. Prints each
# include that breaks the rule and exits 1 if there is any.
set -euo pipefail
src=$(cd "$(dirname "$0")/../src" && pwd)

# The folders each folder may include from, besides itself.
declare -A allowed=(
  [base]=''
  [local]='base'
  [web]='base'
  [version]='base'
  [checks]='base local web version'
  [app]='base local web version checks'
  [window]='base local web version checks app'
)

broken=0
for folder in "${!allowed[@]}"; do
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<< "${rest#*:}")
    [[ -z $target || $target == "$folder" ]] && continue
    # Includes of other folders (the platform layers, the report) are not this check's business.
    [[ -v "allowed[$target]" ]] || continue
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
      echo "src/$folder/${file#"$src/$folder/"}:$line: $folder/ may not include $target/"
      broken=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$src/$folder" || true)
done
if ((broken)); then
  echo "check-includes: the core's dependencies must run app -> checks -> local, web, version -> base" >&2
  exit 1
fi
echo "check-includes: every include of the core runs one way"
