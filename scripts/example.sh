#!/usr/bin/env bash
# Builds the engine and runs the bundled example session through the kesvo
# command-line tool in one process, printing each request and its reply.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
kesvo_deps
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target kesvo >/dev/null
session=${1:-$root/examples/session.jsonl}
requests=$(grep -v '^[[:space:]]*$' "$session")
replies=$("$root/build/kesvo" "$session")
paste -d '\n' <(printf '%s\n' "$requests" | sed 's/^/> /') <(printf '%s\n' "$replies" | sed 's/^/< /')
