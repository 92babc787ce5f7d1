#!/usr/bin/env bash
# Checks that every C++ file follows .clang-format; with --fix, rewrites the
# ones that do not.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=(--dry-run --Werror)
if [ "${1:-}" = "--fix" ]; then
  mode=(-i)
fi
mapfile -t files < <(find src tests bench tools \( -name '*.cpp' -o -name '*.h' \) -type f | sort)
if ! clang-format "${mode[@]}" "${files[@]}"; then
  echo "Some files do not follow .clang-format: run 'bash scripts/check-format.sh --fix'." >&2
  exit 1
fi
