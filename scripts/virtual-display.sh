#!/usr/bin/env bash
# Runs a command on a virtual X display of its own: WIDTHxHEIGHT COMMAND [ARG...].
# Xvfb picks a free display and says which (-displayfd), so runs side by side never race for
# one, as a fixed or guessed display number does.
set -euo pipefail
size=$1
shift
said=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$said" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -f "$said"' EXIT
for _ in $(seq 300); do
  # The number comes with a newline once the server takes connections.
  if [ "$(wc -l < "$said")" -gt 0 ]; then
    break
  fi
  kill -0 "$server" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
display=$(head -n 1 "$said")
[ -n "$display" ] || { echo "Xvfb named no display" >&2; exit 1; }
status=0
DISPLAY=":$display" "$@" || status=$?
exit "$status"
