#!/usr/bin/env bash
# Checks that the includes point one way (docs/ARCHITECTURE.md): run by CTest as
# tst_includes. Prints every include that breaks a rule and fails when there is one.
#   scripts/include-check.sh [source root]
set -uo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root" || exit 2

faults=0
# rule NAME FOLDERS FILES...: no quoted include of the files starts with one of
# the folders (an extended regex alternation, e.g. 'link|shell/ui').
rule() {
  local name=$1 pattern=$2
  shift 2
  local hits
  hits=$(grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$@" 2>/dev/null |
    grep -E "#[[:space:]]*include[[:space:]]*\"($pattern)/")
  if [ -n "$hits" ]; then
    echo "$name:"
    echo "$hits" | sed 's/^/  /'
    faults=$((faults + 1))
  fi
}

sources() { find "$@" -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.h' \) 2>/dev/null; }
mapfile -t link < <(sources src/link)
mapfile -t core < <(sources src/core)
mapfile -t widgets < <(sources src/widgets)
mapfile -t shared < <(sources src/ui)
mapfile -t logic < <(sources src/params src/live src/adapt src/shell)
mapfile -t paramsPages < <(sources src/params/ui)
mapfile -t livePages < <(sources src/live/ui)
mapfile -t adaptPages < <(sources src/adapt/ui)
mapfile -t belowWindow < <(sources src/link src/core src/widgets src/ui src/params src/live src/adapt src/shell \
  src/params/ui src/live/ui src/adapt/ui src/cli)
mapfile -t sim < <(find sim -type f \( -name '*.cpp' -o -name '*.h' \))

rule "the link knows only bytes and exchanges" 'core|params|live|adapt|shell|widgets|ui|cli' "${link[@]}"
rule "core stands under everything of ours" 'link|params|live|adapt|shell|widgets|ui|cli' "${core[@]}"
rule "widgets draw values, they know nothing of ours" 'link|core|params|live|adapt|shell|ui|cli' "${widgets[@]}"
rule "shared panels use widgets and core only" 'link|params|live|adapt|shell|cli' "${shared[@]}"
rule "logic knows no page, panel or widget" '[a-z]+/ui|ui|widgets' "${logic[@]}"
rule "a parameters page never reaches into another page, the link or the shell" \
  'live/ui|adapt/ui|shell/ui|link|shell' "${paramsPages[@]}"
rule "a live page never reaches into another page, the link or the shell" \
  'params/ui|adapt/ui|shell/ui|link|shell' "${livePages[@]}"
rule "a wizard page never reaches into another page, the link or the shell" \
  'params/ui|live/ui|shell/ui|link|shell' "${adaptPages[@]}"
rule "nothing below the main window includes it" 'shell/ui' "${belowWindow[@]}"
rule "the emulator is the other end: nothing of src/" 'link|core|params|live|adapt|shell|widgets|ui|cli' \
  "${sim[@]}"

if [ "$faults" -gt 0 ]; then
  echo "$faults layering rule(s) broken"
  exit 1
fi
echo "includes point one way"
