#!/usr/bin/env bash
# Runs a command on a virtual X display of its own, so that tests running side by side never share
# windows, pointer or keyboard focus.
set -u

ready=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" 2>/dev/null &
server=$!

for _ in $(seq 1 200); do
  [ -s "$ready" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done

display=$(head -n 1 "$ready")
rm -f "$ready"
if [ -z "$display" ]; then
  echo "could not start Xvfb" >&2
  kill "$server" 2>/dev/null
  exit 1
fi

DISPLAY=":$display" "$@"
status=$?

kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
