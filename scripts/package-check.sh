#!/usr/bin/env bash
# Builds the Debian package from build/ (cpack -G DEB), checks it with lintian
# (no error allowed), installs it with apt-get as a fitter would, starts the
# installed programs from / headless, and removes the package again.
# The installed window must find its own language files and skins: no
# "reinstall" box, captions that differ from the built-in texts, and its
# messages in Polish (the language of a first start).
# Runs as root, or through sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
fail() {
  echo "package check: $*" >&2
  exit 1
}

if ! command -v lintian >/dev/null; then
  $SUDO apt-get install -y -qq --no-install-recommends lintian >/dev/null ||
    { $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends lintian >/dev/null; }
fi

rm -f build/quendrix_*.deb
(cd build && cpack -G DEB >cpack.out 2>&1) || { cat build/cpack.out; fail "cpack failed"; }
deb=$(ls build/quendrix_*.deb)
echo "built $deb"
lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' | tee build/lintian.out || true
! grep -q '^E:' build/lintian.out || fail "lintian reports errors"

tmp=$(mktemp -d)
chmod 755 "$tmp"
installed=0
cleanup() {
  [ "$installed" = 1 ] && $SUDO apt-get remove -y -qq quendrix >/dev/null 2>&1 || true
  rm -rf "$tmp"
}
trap cleanup EXIT
(cd build && $SUDO apt-get install -y -qq "./$(basename "$deb")" >"$tmp/install.out" 2>&1) ||
  { cat "$tmp/install.out"; fail "apt-get install failed"; }
installed=1
# The post-install tells how to reach serial ports, unless the user can already.
if ! grep -q "usermod -aG dialout" "$tmp/install.out"; then
  id -nG "${SUDO_USER:-$(id -un)}" | grep -qw dialout || fail "the post-install says nothing of 'dialout'"
fi

# The installed programs, started from / with nothing of the build around:
# settings, instance lock and data only where an installed program has them.
run() {
  (cd / && env -u QUENDRIX_DATA QT_QPA_PLATFORM=offscreen QUENDRIX_SETTINGS="$tmp/settings.ini" \
    QUENDRIX_INSTANCE_LOCK="$tmp/lock" "$@")
}
box="message closed for the screenshot"

run quendrix --screenshot "$tmp/x.png" --page wizualizacja --demo 2>"$tmp/demo.err" || fail "quendrix --demo failed"
[ -s "$tmp/x.png" ] || fail "no screenshot"
! grep -q "$box" "$tmp/demo.err" || { cat "$tmp/demo.err"; fail "the demo showed a message"; }
run quendrix-cli --help >"$tmp/cli.txt" || fail "quendrix-cli --help failed"
grep -q "quendrix-cli" "$tmp/cli.txt" || fail "quendrix-cli --help says nothing"
[ -f /usr/share/man/man1/quendrix.1.gz ] && [ -f /usr/share/man/man1/quendrix-cli.1.gz ] || fail "no man pages"

# The language: the parameters page on a port that cannot open, once as
# installed and once with the skins but without language files (the built-in
# texts). The second must say "reinstall", the first must not, and it must
# name the port failure in Polish.
mkdir "$tmp/skins-only"
ln -s /usr/share/quendrix/skins "$tmp/skins-only/skins"
shot=(quendrix --port COM1=/nonexistent/quendrix-check --page parametry --after 500 --screenshot)
run "${shot[@]}" "$tmp/installed.png" 2>"$tmp/installed.err" || true
run env QUENDRIX_DATA="$tmp/skins-only" "${shot[@]}" "$tmp/builtin.png" 2>"$tmp/builtin.err" || true
grep -q "przeinstalować" "$tmp/builtin.err" || fail "without language files nobody said so"
! grep -q "przeinstalować" "$tmp/installed.err" || fail "the installed program found no language files"
grep -q "$box: Nie można otworzyć portu szeregowego" "$tmp/installed.err" || { cat "$tmp/installed.err"; fail "no Polish message"; }
# The built-in texts are the Polish file's own, so the installed language files
# show in another language: the English one must change the captions.
run quendrix --language english "${shot[@]:1}" "$tmp/english.png" 2>/dev/null || true
[ -s "$tmp/english.png" ] || fail "no screenshot in English"
! cmp -s "$tmp/english.png" "$tmp/builtin.png" || fail "the installed language files change no caption"
echo "installed program: its own texts (Polish) and skins, from /"

$SUDO apt-get remove -y -qq quendrix >/dev/null
installed=0
[ ! -e /usr/share/quendrix ] || fail "/usr/share/quendrix is left after removal"
! command -v quendrix >/dev/null || fail "quendrix is left after removal"
echo "package removed"
