#!/usr/bin/env bash
# Holds every C++ file git tracks to .clang-format. Lists the files that
# differ and exits 1 if there is any; `--fix` formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format > /dev/null || { echo "check-format: clang-format is not installed" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.h' '*.cpp')
if [[ ${1:-} == --fix ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
# One run over every file: clang-format names each file that differs in
# its warnings ("<file>:<line>:<column>: error: code should be clang-formatted").
mapfile -t differ < <(clang-format --dry-run --Werror "${files[@]}" 2>&1 |
  sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: code should be clang-formatted.*/\1/p' | sort -u)
if ((${#differ[@]})); then
  printf '%s\n' "${differ[@]}"
  echo "check-format: ${#differ[@]} files differ from .clang-format; scripts/check-format.sh --fix formats them" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files follow .clang-format"
