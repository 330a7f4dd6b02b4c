#!/usr/bin/env bash
# Installs what is missing, builds, starts a simulated DTU on a pseudo-terminal
# and opens the configuration window on it, with the example profile loaded
# and the port box already holding the simulator's port.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$PWD"
scripts/setup.sh
scripts/build.sh
BIN="$ROOT/${DTU_BUILD_DIR:-build}/src"

DEMO="$ROOT/${DTU_BUILD_DIR:-build}/demo"
mkdir -p "$DEMO"
cp examples/script.js examples/example_profile.txt examples/example_ext.txt "$DEMO/"
cd "$DEMO"

SIM_OUT="$DEMO/dtusim.out"
"$BIN/dtusim" --profile example_profile.txt --script script.js >"$SIM_OUT" 2>"$DEMO/dtusim.log" &
SIM_PID=$!
trap 'kill $SIM_PID 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [[ -s "$SIM_OUT" ]] && break
  sleep 0.1
done
PORT="$(head -n1 "$SIM_OUT")"
if [[ -z "$PORT" ]]; then
  echo "dtusim did not start; see $DEMO/dtusim.log" >&2
  exit 1
fi
echo "Simulated DTU on $PORT"

# The profile's Comport is plain ASCII, so this edit is safe on the GBK file.
sed -i "s#\"Comport\": \"[^\"]*\"#\"Comport\": \"$PORT\"#" example_profile.txt
printf '%s\r\n' "$DEMO/example_profile.txt" > lastfile.log

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen ]]; then
  echo "No display found: run this from a desktop session (or set QT_QPA_PLATFORM=offscreen to try it blind)." >&2
fi
"$BIN/dtuconfig" "$@"
