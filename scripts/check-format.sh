#!/usr/bin/env bash
# Fails when a C++ line changed on this branch (against the merge base with
# main) or not yet committed is not formatted as .clang-format says. Lines
# nobody touched are left alone, so the check never asks for a reformat of
# code others are editing. On main itself, or on a checkout without a main
# branch, only uncommitted changes are checked.
#   --fix   format those lines in place instead
set -euo pipefail
cd "$(dirname "$0")/.."

fix=0
[ "${1:-}" = "--fix" ] && fix=1

base=HEAD
for ref in main origin/main; do
  if git rev-parse --verify -q "$ref^{commit}" >/dev/null; then
    base=$(git merge-base HEAD "$ref") || base=HEAD
    break
  fi
done

# Files never committed count as wholly changed.
untracked=$(git ls-files --others --exclude-standard -- '*.cpp' '*.h')
changes=$(
  git diff -U0 --no-color --diff-filter=ACMR "$base" -- '*.cpp' '*.h'
  for file in $untracked; do git diff -U0 --no-color --no-index /dev/null "$file" || true; done
)
[ -n "$changes" ] || { echo "format: no changed C++ lines"; exit 0; }

if [ $fix = 1 ]; then
  clang-format-diff-14 -p1 -i <<<"$changes"
  exit 0
fi
report=$(clang-format-diff-14 -p1 <<<"$changes")
if [ -n "$report" ]; then
  echo "$report"
  echo "format: the lines above are not formatted; scripts/check-format.sh --fix formats them"
  exit 1
fi
echo "format: every changed C++ line is formatted"
