#!/usr/bin/env bash
# Measures Skarn Config beside the tools a user might pick instead (Debian's
# piper, ckb-next and solaar), all under the same Xvfb with a tray host, and
# prints a table:
#   - time from exec to the first painted frame of a window (median of runs)
#   - resident memory a few seconds after start-up, and after one minute of
#     idling with the window hidden
#   - CPU used during that idle minute, in % of one core
#   - for Skarn Config, a full profile send against the pauses the protocol
#     requires
# Skarn Config runs from a temporary portable folder on its virtual mouse.
# Not a test: the figures depend on the machine and what else runs on it.
#
#   scripts/benchmark.sh [runs]     (default 5 runs for the first frame)
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."
runs=${1:-5}
idle_seconds=${SKARN_BENCH_IDLE_SECONDS:-60}
build_dir=${SKARN_BUILD_DIR:-build}

if [ -z "${SKARN_BENCH_AS_USER:-}" ]; then
  # The peers are benchmark-only: installed here, not by install-deps.sh.
  peers=(piper ckb-next solaar)
  missing=()
  for p in "${peers[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
    "${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends \
      "${missing[@]}" >/dev/null
  fi
  scripts/install-deps.sh
  scripts/build.sh >/dev/null
fi

# Desktop programs are measured as a user would run them (ckb-next refuses
# to run as root at all).
if [ "$(id -u)" -eq 0 ]; then
  exec setpriv --reuid=65534 --regid=65534 --clear-groups \
    env HOME=/tmp SKARN_BENCH_AS_USER=1 SKARN_BUILD_DIR="$(realpath "$build_dir")" "$script" "$@"
fi

# Every program gets a session bus of its own, as on a desktop (the peers
# wait for D-Bus time-outs without one).
if [ -z "${SKARN_BENCH_IN_SESSION:-}" ] && command -v dbus-run-session >/dev/null; then
  SKARN_BENCH_IN_SESSION=1 exec dbus-run-session -- "$script" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -Wall -o "$work/firstframe" scripts/bench/firstframe.c $(pkg-config --cflags --libs xcb)

# A portable copy: the program may write its settings there.
mkdir -p "$work/skarn"
cp "$build_dir/skarn-config" "$work/skarn/"
cp -r "$build_dir/modules" "$work/skarn/"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"
chmod 700 "$HOME"
trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
  >/dev/null 2>&1 &
pids+=($!)
sleep 1

names=(skarn-config piper ckb-next solaar)
declare -A command=(
  [skarn-config]="env SKARN_VIRTUAL_MOUSE=553 $work/skarn/skarn-config"
  [piper]="piper"
  [ckb-next]="ckb-next"
  [solaar]="solaar --window=show"
)
clk_tck=$(getconf CLK_TCK)

median() { sort -n | awk '{a[NR]=$1} END {if (NR == 0) print "-"; else if (NR % 2) print a[(NR+1)/2]; else print (a[NR/2]+a[NR/2+1])/2}'; }
rss_mb() { awk '/^VmRSS:/ {printf "%.1f", $2/1024}' "/proc/$1/status" 2>/dev/null || echo "-"; }
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

# Time to the first frame, one program after the other.
declare -A frame
for name in "${names[@]}"; do
  echo "first frame: $name" >&2
  times=()
  for _ in $(seq "$runs"); do
    # shellcheck disable=SC2086
    t=$("$work/firstframe" ${command[$name]})
    [ "$t" != "-1" ] && times+=("$t")
    sleep 0.5
  done
  if [ ${#times[@]} -eq 0 ]; then
    frame[$name]="no window"
  else
    frame[$name]="$(printf '%s\n' "${times[@]}" | median) ms (${#times[@]}/$runs)"
  fi
done

# Memory and idle CPU: all four side by side, each hidden after start-up.
declare -A pid_of rss_start rss_idle cpu_idle
for name in "${names[@]}"; do
  # shellcheck disable=SC2086
  out=$("$work/firstframe" -k ${command[$name]})
  pid=$(echo "$out" | sed -n 2p)
  pid_of[$name]=$pid
  pids+=("$pid")
done
echo "idle: all four for ${idle_seconds} s" >&2
sleep 5
for name in "${names[@]}"; do
  pid=${pid_of[$name]}
  rss_start[$name]=$(rss_mb "$pid")
  if [ "$name" = skarn-config ]; then
    # Its own close button (title bar, 1002,26 in the window): hide to tray.
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
      eval "$(xdotool getwindowgeometry --shell "$w")"
      if [ "$WIDTH" = 1024 ]; then
        xdotool mousemove $((X + 1002)) $((Y + 26)) click 1
      fi
    done
  else
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
      xdotool windowunmap "$w" 2>/dev/null || true
    done
  fi
done
xdotool mousemove 640 700
sleep 2
declare -A ticks_before
for name in "${names[@]}"; do ticks_before[$name]=$(cpu_ticks "${pid_of[$name]}"); done
sleep "$idle_seconds"
for name in "${names[@]}"; do
  pid=${pid_of[$name]}
  if [ -d "/proc/$pid" ]; then
    ticks=$(( $(cpu_ticks "$pid") - ${ticks_before[$name]} ))
    cpu_idle[$name]=$(awk -v t="$ticks" -v hz="$clk_tck" -v s="$idle_seconds" \
      'BEGIN {printf "%.3f %%", t / hz / s * 100}')
    rss_idle[$name]=$(rss_mb "$pid")
  else
    cpu_idle[$name]="ended"
    rss_idle[$name]="-"
  fi
done

# A full profile send on the virtual mouse, real pauses.
send=$("$build_dir/skarn-bench-profilesend" 5)

printf '\n%-14s %-22s %-14s %-18s %-16s\n' "program" "first frame (median)" "RSS start" "RSS idle hidden" "CPU idle hidden"
for name in "${names[@]}"; do
  printf '%-14s %-22s %-14s %-18s %-16s\n' "$name" "${frame[$name]}" "${rss_start[$name]} MB" \
    "${rss_idle[$name]} MB" "${cpu_idle[$name]}"
done
echo
echo "profile send (key matrix with a gun switch, DPI, lighting) on the virtual mouse:"
printf '%-8s %-12s %-16s %-10s %-8s\n' "family" "wall (med.)" "required pauses" "overhead" "reports"
echo "$send" | while read -r family wall pauses reports; do
  awk -v f="$family" -v w="$wall" -v p="$pauses" -v r="$reports" \
    'BEGIN {printf "%-8s %-12s %-16s %-10s %-8s\n", f, w " ms", p " ms", sprintf("%+.1f %%", (w - p) / p * 100), r}'
done
echo "(idle: ${idle_seconds} s; CPU resolution $((1000 / clk_tck)) ms per tick)"
