#!/usr/bin/env bash
# The executable as a terminal user and a file manager start it: --version
# and --help answer without a display; `kestrin-pro FILE.kt9` opens the file
# (its name in the title) and says nothing on standard error; a file that
# cannot be read is reported and leaves the title empty of a name.
# Usage: check_program.sh KESTRIN_PRO DEFAULT_KT9   (needs an X display)
set -euo pipefail
exe=$(realpath "$1")
tmp=$(mktemp -d)
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$tmp"' EXIT
status=0
problem() { echo "PROBLEM: $*"; status=1; }

out=$(env -u DISPLAY "$exe" --version) || problem "--version failed"
[[ $out =~ ^kestrin-pro\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || problem "--version said: $out"
out=$(env -u DISPLAY "$exe" --help) || problem "--help failed"
[[ $out == *"FILE.kt9"* && $out == *"--version"* ]] || problem "--help said: $out"
if env -u DISPLAY "$exe" --no-such-option --version >/dev/null 2>"$tmp/err"; then
  problem "an unknown option was accepted"
fi
grep -q "no-such-option" "$tmp/err" || problem "an unknown option was not named"

# Window titles as the X server has them.
titles() { xwininfo -root -tree | sed -n 's/^ *0x[0-9a-f]* "\(.*\)": (.*/\1/p'; }
wait_for_title() {
  for _ in $(seq 100); do
    titles | grep -qxF "$1" && return 0
    sleep 0.1
  done
  return 1
}
cp "$2" "$tmp/site.kt9"
mkdir "$tmp/cwd"
cd "$tmp/cwd"
KESTRIN_DEVICE=simulator "$exe" ../site.kt9 2>"$tmp/stderr" &
pids+=($!)
wait_for_title "site.kt9 Kestrin-Pro Fr" || problem "site.kt9 was not opened: $(titles | tr '\n' '|')"
sleep 1
kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true
[ -s "$tmp/stderr" ] && { problem "the window wrote to standard error:"; cat "$tmp/stderr"; }

KESTRIN_DEVICE=simulator "$exe" "$tmp/missing.kt9" 2>/dev/null &
pids+=($!)
wait_for_title "Warning" || problem "a missing file was not reported"
titles | grep -qxF "Kestrin-Pro Fr" || problem "the title names a file that was not opened"
exit $status
