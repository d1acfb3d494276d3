#!/usr/bin/env bash
# Renders every page of the window headless against the emulated controller, for looking at:
#   scripts/screenshots.sh OUTDIR [BUILD_DIR]
# - every page (obroty, parametry, wizualizacja, autoadaptacja, drukowanie) and the restore
#   points ("Historia") in the six screen-size layouts, in Polish, Russian and English:
#   OUTDIR/<page>-<layout>-<language>.png, e.g. parametry-640x480-russian.png;
# - the same pages in the four skins at 800x600 in Polish: OUTDIR/skin-<skin>-<page>.png.
# The drive log viewer has no way in from the window, so it is not among them.
# JOBS=2 renders two at a time; LAYOUTS, LANGUAGES, PAGES and SKINS (space-separated) narrow
# the set, e.g. LAYOUTS=640x480 LANGUAGES=russian scripts/screenshots.sh /tmp/shots.
set -euo pipefail
[ $# -ge 1 ] || { sed -n '2,10p' "$0"; exit 2; }
out=$(mkdir -p "$1" && cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$root/build}" && pwd)
for exe in quendrix quendrix-cli quendrix-sim; do
  [ -x "$build/src/$exe" ] || { echo "no $build/src/$exe: build first (scripts/build.sh)" >&2; exit 1; }
done

LAYOUTS=${LAYOUTS:-640x480 720x576 800x600 1024x768 1152x864 1280x1024}
LANGUAGES=${LANGUAGES:-polish russian english}
PAGES=${PAGES:-obroty parametry wizualizacja autoadaptacja drukowanie historia}
SKINS=${SKINS:-default kolorowa_niebieski silver bezbarwn}
JOBS=${JOBS:-1}

work=$(mktemp -d)
sim=
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A screen larger than every layout: each one gets its own window size.
cat > "$work/screen.json" <<'EOF'
{ "screens": [ { "name": "shots", "x": 0, "y": 0, "width": 1920, "height": 1200,
                 "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1 } ] }
EOF

# Restore points for "Historia": two writes through quendrix-cli to an emulated controller.
export QUENDRIX_HISTORY="$work/history"
"$build/src/quendrix-sim" > "$work/sim.txt" 2>&1 &
sim=$!
for _ in $(seq 50); do grep -q '^pty:' "$work/sim.txt" && break; sleep 0.1; done
pty=$(awk '/^pty:/{print $2}' "$work/sim.txt")
cli=("$build/src/quendrix-cli" --port "$pty")
QUENDRIX_SETTINGS="$work/cli.ini" "${cli[@]}" read "$work/car.qx4" > /dev/null || true
for rpm in 2500 2200; do
  sed "s/^102:[0-9]*\r$/102:$rpm\r/" "$work/car.qx4" > "$work/w.qx4"
  QUENDRIX_SETTINGS="$work/cli.ini" "${cli[@]}" write "$work/w.qx4" > /dev/null
done
kill "$sim"
sim=

# One render: shot FILE PAGE LAYOUT LANGUAGE SKIN
shot() {
  local file=$1 page=$2 layout=$3 language=$4 skin=$5 n
  n=$(basename "$file" .png)
  local where=(--page "$page") after=2500
  case $page in
    historia) where=(--dialog historia) ;;
    wizualizacja) after=4000 ;; # the chart has drawn a few seconds
  esac
  QUENDRIX_SETTINGS="$work/$n.ini" QUENDRIX_INSTANCE_LOCK="$work/$n.lock" \
    QT_QPA_PLATFORM="offscreen:configfile=$work/screen.json" \
    "$build/src/quendrix" --demo "${where[@]}" --layout "$layout" --language "$language" --skin "$skin" \
    --screenshot "$file" --after "$after" > "$work/$n.log" 2>&1 ||
    { echo "failed: $n" >&2; cat "$work/$n.log" >&2; return 1; }
  echo "$file"
}
export -f shot
export work build

{
  for layout in $LAYOUTS; do
    for language in $LANGUAGES; do
      for page in $PAGES; do
        echo "$out/$page-$layout-$language.png $page $layout $language default"
      done
    done
  done
  for skin in $SKINS; do
    for page in $PAGES; do
      echo "$out/skin-$skin-$page.png $page 800x600 polish $skin"
    done
  done
} | xargs -P "$JOBS" -L 1 bash -c 'shot "$@"' _
