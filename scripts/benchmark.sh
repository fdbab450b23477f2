#!/usr/bin/env bash
# Measures Skarn Config beside the lightest program of its kind (the "Qt
# floor": a frameless 1024 x 640 QQuickWidget on the software scene graph
# showing one text) and the tools a user might pick instead (Debian's piper
# with its daemon ratbagd, solaar, ckb-next with its daemon), all in the same
# run under one Xvfb with a tray host and a session bus, and prints per
# program, as min / median / max over the runs:
#   - first frame: exec to the first painted window (X DAMAGE, then pixels)
#   - usable screen: exec to the start of the window's final content (a
#     start-up picture or a "loading" overlay does not count)
#   - RSS, PSS and private dirty memory 5 s after exec, or once usable if later
#     (/proc/PID/smaps_rollup), daemons included
# then, all side by side with their windows hidden for the idle time:
#   - RSS after it, CPU in % of one core and wake-ups per second (voluntary
#     context switches of all threads)
# then the first paint of each of Skarn Config's dialogs after the click
# that opens it, a full profile send against the pauses the protocol
# requires, and, with the other programs ended:
#   - the event loop during a full profile send through the session (the
#     import into the active profile's send, pauses slept): the send's wall
#     time against the pauses it asked for, and the longest gap between the
#     ticks of a 10 ms timer on the session's thread (553, 560, 560 as a gun
#     mouse; skarn-bench-stall)
#   - `skarn-config status` run alone (no running copy, virtual mouse 553)
#     against `skarn-config --version`: median wall time of each and the
#     peak RSS of status (the kernel's count, skarn-bench-exec)
#   - with SKARN_BENCH_COMPARE=1 only (it builds a second program): the
#     reports the virtual mouse receives through the steps of
#     skarn-bench-sequences, 553 and 560, from this build and from a build of
#     SKARN_BENCH_BASELINE_REV (default 323f231, the last revision with the
#     device traffic on the GUI thread), compared whole without the pause
#     column and with the identity exchange's drawn bytes masked
# then the load average at start and end, and the targets met.
# Skarn Config runs from a temporary portable folder on its virtual mouse.
# Not a test: the figures depend on the machine and what else runs on it.
#
#   scripts/benchmark.sh [runs]     (default 5)
#   SKARN_BENCH_IDLE_SECONDS (default 60), SKARN_BENCH_BUILD_DIR
#   (default build-bench: the program and the benchmark's tools only),
#   SKARN_BENCH_FRAMES=folder keeps each run's first and usable frames,
#   SKARN_BENCH_COMMAND_RUNS (default 10) runs of each command,
#   SKARN_BENCH_COMPARE=1 and SKARN_BENCH_BASELINE_REV for the record
#   comparison (a git worktree under the run's temporary folder, removed
#   after; its build takes as long as a clean build of the program).
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$script")/.."
runs=${1:-5}
idle_seconds=${SKARN_BENCH_IDLE_SECONDS:-60}
build_dir=${SKARN_BENCH_BUILD_DIR:-build-bench}

# The peers and the X extension headers are benchmark-only: installed here,
# not by install-deps.sh.
packages=(piper ratbagd ckb-next solaar libxcb-damage0-dev libxcb-xtest0-dev)
if [ -z "${SKARN_BENCH_DEV:-}" ]; then
  missing=()
  for p in "${packages[@]}"; do
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
  # The program and the tools, not the test suite.
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$build_dir" --target skarn-config skarn-bench-profilesend skarn-bench-floor \
    skarn-bench-stall skarn-bench-exec skarn-bench-sequences >/dev/null

  # ckb-next-daemon publishes itself in /dev/input, which a container may
  # lack: then all is measured in a mount namespace of its own whose /dev
  # has one (an overlay; the machine's /dev is left alone).
  if [ "$(id -u)" -eq 0 ] && [ ! -d /dev/input ] && command -v unshare >/dev/null; then
    dev=$(mktemp -d)
    trap 'rm -rf "$dev"' EXIT
    SKARN_BENCH_DEV=$dev unshare -m --propagation private "$script" "$@"
    exit
  fi
else
  mkdir -p "$SKARN_BENCH_DEV/upper" "$SKARN_BENCH_DEV/work" "$SKARN_BENCH_DEV/keep"
  mount --rbind /dev "$SKARN_BENCH_DEV/keep"
  mount -t overlay overlay \
    -o "lowerdir=/dev,upperdir=$SKARN_BENCH_DEV/upper,workdir=$SKARN_BENCH_DEV/work" /dev
  for m in pts shm mqueue; do
    if [ -d "$SKARN_BENCH_DEV/keep/$m" ]; then
      mount --rbind "$SKARN_BENCH_DEV/keep/$m" "/dev/$m"
    fi
  done
  mkdir /dev/input
fi

load_start=$(cut -d' ' -f1-3 /proc/loadavg)
work=$(mktemp -d)
chmod 755 "$work"
pids=()
worktree=
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -z "$worktree" ] || git worktree remove --force "$worktree" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# shellcheck disable=SC2046
cc -O2 -Wall -o "$work/frames" scripts/bench/frames.c \
  $(pkg-config --cflags --libs xcb xcb-damage xcb-xtest)

# Desktop programs run as a user would run them (ckb-next refuses to run as
# root at all); the harness and the daemons stay root, as on a desktop.
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
export HOME="$work/home" XDG_RUNTIME_DIR="$work/home" XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME"
chmod 700 "$HOME"
# A portable copy: the program may write its settings there.
mkdir -p "$work/skarn"
cp "$build_dir/skarn-config" "$build_dir/libskarn-config-gui.so" "$build_dir/skarn-bench-floor" \
  "$work/skarn/"
cp -r "$build_dir/modules" "$work/skarn/"
[ ${#as_user[@]} -eq 0 ] || chown -R 65534:65534 "$HOME" "$work/skarn"

Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
xdotool mousemove 2 790

# The session bus every desktop program expects (the peers wait for D-Bus
# time-outs without one), and a system bus of our own for ratbagd.
"${as_user[@]}" dbus-daemon --session --nofork --address="unix:path=$work/home/bus" \
  >/dev/null 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/home/bus"
cat >"$work/system-bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$work/system-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
dbus-daemon --config-file="$work/system-bus.conf" --nofork >/dev/null 2>&1 &
pids+=($!)
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/system-bus"
for _ in $(seq 50); do [ -S "$work/home/bus" ] && [ -S "$work/system-bus" ] && break; sleep 0.1; done
chmod 666 "$work/system-bus"

"${as_user[@]}" trayer --edge top --align right --widthtype request --height 24 \
  --SetDockType true >/dev/null 2>&1 &
pids+=($!)

# The peers' daemons, as their packages start them.
ratbagd >"$work/ratbagd.log" 2>&1 &
ratbagd_pid=$!
pids+=("$ratbagd_pid")
ckb-next-daemon >"$work/ckb-daemon.log" 2>&1 &
ckb_daemon_pid=$!
pids+=("$ckb_daemon_pid")
sleep 2

alive() { [ -d "/proc/$1" ] && [ "$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null)" != Z ]; }
daemon_state() { # name pid log
  if alive "$2"; then echo "$1 running"; else echo "$1 ended: $(tail -n 1 "$3" | cut -c1-60)"; fi
}
usb_count() { cat /sys/bus/usb/devices/*/idVendor 2>/dev/null | grep -cix "$1" || true; }
hidraw_count() { cat /sys/class/hidraw/*/device/uevent 2>/dev/null | grep -ci "^HID_ID=....:0000$1" || true; }
declare -A state
state[skarn-config]="virtual mouse (family 553)"
state[floor]="no device"
ratbag_devices=$(timeout 10 ratbagctl list 2>/dev/null | grep -vc "^No devices" || true)
state[piper]="$(daemon_state ratbagd "$ratbagd_pid" "$work/ratbagd.log"), ${ratbag_devices} device(s)"
state[solaar]="no daemon, $(hidraw_count 046D) Logitech hidraw device(s)"
state[ckb-next]="$(daemon_state ckb-next-daemon "$ckb_daemon_pid" "$work/ckb-daemon.log")$([ -e /dev/uinput ] || echo " without uinput"), $(usb_count 1b1c) Corsair device(s)"

names=(skarn-config floor piper solaar ckb-next)
user_env=(env HOME="$HOME" XDG_RUNTIME_DIR="$HOME" XDG_CONFIG_HOME="$XDG_CONFIG_HOME")
declare -A command=(
  [skarn-config]="env SKARN_VIRTUAL_MOUSE=553 $work/skarn/skarn-config"
  [floor]="$work/skarn/skarn-bench-floor"
  [piper]="piper"
  [solaar]="solaar --window=show"
  [ckb-next]="ckb-next"
)
# Daemons whose memory and wake-ups count with a program.
declare -A helpers=([piper]="$ratbagd_pid" [ckb-next]="$ckb_daemon_pid")

# Memory in KiB of a program and its daemons: "rss pss private-dirty".
# Private clean pages are left out: they are library pages that merely no
# other process maps at the moment, so they come and go with what else runs.
memory() {
  for pid in "$@"; do
    alive "$pid" && cat "/proc/$pid/smaps_rollup" 2>/dev/null
  done | awk '/^Rss:/ {r += $2} /^Pss:/ {p += $2} /^Private_Dirty:/ {v += $2}
              END {printf "%d %d %d\n", r, p, v}'
}
# Per thread of the given processes: "pid:tid name cpu-ns voluntary-switches".
threads() {
  local pid task
  for pid in "$@"; do
    for task in /proc/"$pid"/task/*; do
      printf '%s:%s %s %s %s\n' "$pid" "${task##*/}" "$(tr ' ' _ <"$task/comm" 2>/dev/null)" \
        "$(cut -d' ' -f1 "$task/schedstat" 2>/dev/null)" \
        "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status" 2>/dev/null)"
    done
  done
}
# What threads did between two snapshots, over `seconds`, in total (or per
# thread name with `by` set): "% of one core" and wake-ups per second. A
# thread that ended meanwhile is not counted; one that began counts whole.
idle_use() { # before after seconds
  awk -v s="$3" -v by="${by:-}" 'NR == FNR {ns[$1] = $3; sw[$1] = $4; next}
    NF == 4 {k = by ? $2 : "all"; cpu[k] += $3 - ns[$1]; wake[k] += $4 - sw[$1]}
    END {for (k in cpu) printf "%s %.3f %.2f\n", k, cpu[k] / 1e9 / s * 100, wake[k] / s}' "$1" "$2"
}
stats() { # values on stdin -> "min median max" (or "-")
  sort -g | awk '{a[NR] = $1} END {
    if (NR == 0) { print "-"; exit }
    m = NR % 2 ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2
    printf "%g %g %g\n", a[1], m, a[NR] }'
}
stop() {
  kill "$1" 2>/dev/null || true
  for _ in $(seq 50); do alive "$1" || return 0; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
}

# Start-up and memory a few seconds after it, program after program in
# each run.
memory_at=${SKARN_BENCH_MEMORY_AT:-5}
declare -A first usable rss pss private
for run in $(seq "$runs"); do
  for name in "${names[@]}"; do
    echo "run $run/$runs: $name" >&2
    started=$(date +%s.%N)
    # shellcheck disable=SC2086
    read -r f u pid win < <(FRAMES_SAVE=${SKARN_BENCH_FRAMES:+$SKARN_BENCH_FRAMES/$name-$run} \
      "$work/frames" start -k "${as_user[@]}" "${user_env[@]}" ${command[$name]})
    pids+=("$pid")
    # Memory at the same moment for all: start-up peaks settle at
    # different times (piper halves its RSS within seconds).
    sleep "$(awk -v t="$started" -v now="$(date +%s.%N)" -v at="$memory_at" \
      'BEGIN {d = t + at - now; print (d > 0 ? d : 0)}')"
    if [ "$f" != -1 ]; then
      first[$name]+="$f "
      usable[$name]+="$u "
      # shellcheck disable=SC2086
      read -r r p v < <(memory "$pid" ${helpers[$name]:-})
      rss[$name]+="$r "
      pss[$name]+="$p "
      private[$name]+="$v "
    fi
    stop "$pid"
    sleep 0.5
  done
done

# Dialogs: each opened by its control and closed by its close mark (or
# Cancel), at the main scene's layout positions.
dialog_args=(
  "system-settings" 140 514 702 179
  "button-assignment" 140 188 754 55
  "macro-editor" 140 396 814 111
  "gun-control" 140 425 814 111
  "profile-manager" 808 620 644 195
  "reset-confirm" 888 620 574 351
)
echo "dialogs" >&2
# shellcheck disable=SC2086
read -r _ _ pid win < <("$work/frames" start -k "${as_user[@]}" "${user_env[@]}" ${command[skarn-config]})
pids+=("$pid")
dialogs=$("$work/frames" click "$win" "${dialog_args[@]}" || true)
stop "$pid"
sleep 0.5

# Idle: all side by side, each hidden after start-up.
echo "idle: all for ${idle_seconds} s hidden" >&2
declare -A pid_of rss_idle cpu_idle wakeups
for name in "${names[@]}"; do
  # shellcheck disable=SC2086
  read -r _ _ pid win < <("$work/frames" start -k "${as_user[@]}" "${user_env[@]}" ${command[$name]})
  pid_of[$name]=$pid
  pids+=("$pid")
  if [ "$name" = skarn-config ] && [ "$win" != 0 ]; then
    # Its own close button (title bar, 1002,26 in the window): to the tray.
    eval "$(xdotool getwindowgeometry --shell "$win")"
    xdotool mousemove $((X + 1002)) $((Y + 26)) click 1 mousemove 2 790
  else
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null || true); do
      xdotool windowunmap "$w" 2>/dev/null || true
    done
  fi
done
sleep 3
declare -A shown
for name in "${names[@]}"; do
  shown[$name]=$( (xdotool search --onlyvisible --pid "${pid_of[$name]}" 2>/dev/null || true) |
    while read -r w; do
      xwininfo -id "$w" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {if (w >= 200 && h >= 150) print "yes"}'
    done | head -n 1)
done
for name in "${names[@]}"; do
  # shellcheck disable=SC2086
  threads "${pid_of[$name]}" ${helpers[$name]:-} >"$work/$name.before"
done
sleep "$idle_seconds"
for name in "${names[@]}"; do
  pid=${pid_of[$name]}
  if alive "$pid"; then
    # shellcheck disable=SC2086
    threads "$pid" ${helpers[$name]:-} >"$work/$name.after"
    read -r _ cpu_idle[$name] wakeups[$name] < <(idle_use "$work/$name.before" "$work/$name.after" "$idle_seconds")
    # shellcheck disable=SC2086
    read -r r _ _ < <(memory "$pid" ${helpers[$name]:-})
    rss_idle[$name]=$r
  else
    cpu_idle[$name]=ended wakeups[$name]=- rss_idle[$name]=-
  fi
done
# Ours per thread, the busiest first.
by_thread=$(by=1 idle_use "$work/skarn-config.before" "$work/skarn-config.after" "$idle_seconds" |
  awk '$3 > 0' | sort -k3,3gr | awk '{printf "%s%s %s/s", (NR > 1 ? ", " : ""), $1, $3}')

# A full profile send on the virtual mouse, real pauses.
send=$("$build_dir/skarn-bench-profilesend" 5)

# The rest on a quiet desktop: the idle programs end (a command must find
# no running copy of ours).
for name in "${names[@]}"; do stop "${pid_of[$name]}"; done

# The same send through the session, whose thread must keep its event loop
# turning meanwhile: "family wall pauses wall/pauses ticks longest-gap
# gaps-over-50 reports longest-gap-began" per line.
echo "event loop during a profile send" >&2
stall=$(for variant in 553 560 "560 gun"; do
  # shellcheck disable=SC2086
  "$build_dir/skarn-bench-stall" "$build_dir/modules" $variant || true
done)

# A command run alone against the cheapest start there is, taken in turns
# so that both see the same machine: "ms max-RSS-KiB exit-code" per run.
command_runs=${SKARN_BENCH_COMMAND_RUNS:-10}
echo "status and --version, ${command_runs} runs each" >&2
for _ in $(seq "$command_runs"); do
  for cmd in --version status; do
    "$build_dir/skarn-bench-exec" 1 "${as_user[@]}" "${user_env[@]}" SKARN_VIRTUAL_MOUSE=553 \
      "$work/skarn/skarn-config" "$cmd" >>"$work/${cmd#--}.runs" 2>>"$work/${cmd#--}.err"
  done
done
load_end=$(cut -d' ' -f1-3 /proc/loadavg)

# The reports are the program's behaviour towards the mouse, and moving the
# device traffic off the GUI thread was to change none of them: the same
# steps, on this build and on the baseline's, must give the same records
# line for line. Only the pause before each report (a column of its own) and
# the four values the identity exchange draws at random (and so its
# checksum) differ between two runs of one build.
compare=${SKARN_BENCH_COMPARE:-0}
baseline_rev=${SKARN_BENCH_BASELINE_REV:-323f231}
declare -A same
comparison=
normalise() { # record
  awk '/^ *-?[0-9]+ (feature|output) / {
      sub(/^ *-?[0-9]+ /, "")
      if (!drawn && $1 == "feature" && $2 == "00" && $3 == "00" && NF == 10) {
        $4 = $5 = $6 = $7 = $10 = "xx"
        drawn = 1
      }
    }
    {print}' "$1"
}
if [ "$compare" = 1 ]; then
  echo "record comparison: building $baseline_rev" >&2
  worktree="$work/baseline/src"
  git worktree add --detach -q "$worktree" "$baseline_rev"
  cmake -S "$worktree" -B "$work/baseline/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$work/baseline/build" --target skarn-config >/dev/null
  # Each program with its own factory data (the scene's files changed too).
  sequences=$(realpath "$build_dir/skarn-bench-sequences")
  declare -A exe_of=([current]="$(realpath "$build_dir/skarn-config")"
    [baseline]="$work/baseline/build/skarn-config")
  declare -A modules_of=([current]="$PWD/modules" [baseline]="$worktree/modules")
  mkdir -p "$work/records"
  for family in 553 560; do
    for side in current baseline; do
      echo "record comparison: $side, $family" >&2
      # In a folder of its own: the steps export a profile to a relative path.
      (cd "$work/records" && "$sequences" "${exe_of[$side]}" "${modules_of[$side]}" "$family" \
        "$work/records/$side-$family.log" >/dev/null 2>&1) ||
        rm -f "$work/records/$side-$family.log"
    done
    if [ ! -s "$work/records/current-$family.log" ] || [ ! -s "$work/records/baseline-$family.log" ]; then
      same[$family]="not run"
      continue
    fi
    normalise "$work/records/baseline-$family.log" >"$work/records/baseline-$family.plain"
    normalise "$work/records/current-$family.log" >"$work/records/current-$family.plain"
    if cmp -s "$work/records/baseline-$family.plain" "$work/records/current-$family.plain"; then
      same[$family]=yes
    else
      same[$family]=no
      comparison+="${comparison:+$'\n'}$family, baseline < > current:"$'\n'
      comparison+=$(diff "$work/records/baseline-$family.plain" "$work/records/current-$family.plain" |
        head -n 12)
    fi
  done
  git worktree remove --force "$worktree"
  worktree=
fi

# --- Report ---
mib() { awk '{for (i = 1; i <= NF; ++i) $i = ($i == "-") ? "-" : sprintf("%.1f", $i / 1024); print}'; }
median_of() { stats | awk '{print ($2 == "") ? "-" : $2}'; }
echo
echo "Skarn Config benchmark, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $runs runs"
echo "load average at start: $load_start; at end: $load_end"
for name in piper ckb-next; do
  read -r r _ _ < <(memory "${helpers[$name]}")
  [ "$r" -gt 0 ] && state[$name]+=" (daemon RSS $(echo "$r" | mib) MiB)"
done
echo
printf '%-13s %s\n' program state
for name in "${names[@]}"; do printf '%-13s %s\n' "$name" "${state[$name]}"; done
echo
echo "start-up in ms; memory in MiB ${memory_at} s after exec, daemons included; min median max"
printf '%-13s %-17s %-17s %-17s %-17s %-17s\n' program "first frame" "usable screen" RSS PSS "private dirty"
for name in "${names[@]}"; do
  printf '%-13s %-17s %-17s %-17s %-17s %-17s\n' "$name" \
    "$(printf '%s\n' ${first[$name]:-} | stats)" "$(printf '%s\n' ${usable[$name]:-} | stats)" \
    "$(printf '%s\n' ${rss[$name]:-} | stats | mib)" "$(printf '%s\n' ${pss[$name]:-} | stats | mib)" \
    "$(printf '%s\n' ${private[$name]:-} | stats | mib)"
done
echo
echo "hidden for ${idle_seconds} s, all side by side"
printf '%-13s %-12s %-12s %-14s\n' program "RSS (MiB)" "CPU (%)" "wake-ups/s"
for name in "${names[@]}"; do
  printf '%-13s %-12s %-12s %-14s%s\n' "$name" "$(echo "${rss_idle[$name]}" | mib)" \
    "${cpu_idle[$name]}" "${wakeups[$name]}" "${shown[$name]:+ (a window stayed shown)}"
done
echo "skarn-config's wake-ups by thread: ${by_thread:-none}"
echo
# Ratios and targets, on medians.
m() { printf '%s\n' $1 | median_of; }
fu=$(m "${usable[floor]:-}")
ou=$(m "${usable[skarn-config]:-}")
fr=$(m "${rss[floor]:-}")
orss=$(m "${rss[skarn-config]:-}")
echo "against the floor (medians):"
printf '%-13s %-13s %-13s %-16s %-16s\n' program "first frame" "usable" "RSS after start" "RSS hidden"
for name in "${names[@]}"; do
  [ "$name" = floor ] && continue
  awk -v n="$name" -v f="$(m "${first[$name]:-}")" -v ff="$(m "${first[floor]:-}")" \
    -v u="$(m "${usable[$name]:-}")" -v fu="$fu" -v r="$(m "${rss[$name]:-}")" -v fr="$fr" \
    -v i="${rss_idle[$name]}" -v fi="${rss_idle[floor]}" 'function x(a, b) {
      return (a + 0 > 0 && b + 0 > 0) ? sprintf("%.2fx", a / b) : "-" }
    function d(a, b) { return (a + 0 > 0 && b + 0 > 0) ? sprintf("%+.1f MiB", (a - b) / 1024) : "-" }
    BEGIN {printf "%-13s %-13s %-13s %-16s %-16s\n", n, x(f, ff), x(u, fu), d(r, fr), d(i, fi)}'
done
echo
echo "dialogs, first paint after the click (ms):"
echo "${dialogs:-  (none measured)}" | sed 's/^/  /'
echo
echo "profile send (key matrix with a gun switch, DPI, lighting) on the virtual mouse:"
printf '  %-8s %-12s %-16s %-10s %-8s\n' "family" "wall (med.)" "required pauses" "overhead" "reports"
echo "$send" | while read -r family wall pauses reports; do
  awk -v f="$family" -v w="$wall" -v p="$pauses" -v r="$reports" \
    'BEGIN {printf "  %-8s %-12s %-16s %-10s %-8s\n", f, w " ms", p " ms", sprintf("%+.1f %%", (w - p) / p * 100), r}'
done
echo
echo "event loop during a full profile send through the session (pauses slept; ticks of a 10 ms timer on its thread):"
printf '  %-9s %-11s %-10s %-20s %-6s %-24s %-13s %-7s\n' family wall pauses "wall/pauses" ticks \
  "longest gap (began at)" "gaps > 50 ms" reports
echo "${stall:-}" | while read -r family wall pauses ratio ticks longest stalled reports at; do
  [ -n "$family" ] || continue
  printf '  %-9s %-11s %-10s %-20s %-6s %-24s %-13s %-7s\n' "$family" "$wall ms" "$pauses ms" \
    "$(awk -v r="$ratio" -v w="$wall" -v p="$pauses" 'BEGIN {printf "%.4f (%+.0f ms)", r, w - p}')" \
    "$ticks" "$longest ms ($at ms)" "$stalled ms" "$reports"
done
[ -n "${stall:-}" ] || echo "  (not measured)"
echo
# Commands: wall in ms, peak RSS in KiB; medians over the runs.
column_of() { awk -v c="$1" '{print $c}' "$2" 2>/dev/null; }
version_ms=$(column_of 1 "$work/version.runs" | median_of)
status_ms=$(column_of 1 "$work/status.runs" | median_of)
version_rss=$(column_of 2 "$work/version.runs" | median_of)
status_rss=$(column_of 2 "$work/status.runs" | median_of)
status_failed=$(column_of 3 "$work/status.runs" | grep -vcx 0 || true)
echo "a command run alone (no running copy; virtual mouse 553), medians of ${command_runs} runs:"
printf '  %-12s %-12s %-14s\n' command "wall (ms)" "peak RSS (MiB)"
printf '  %-12s %-12s %-14s\n' --version "$version_ms" "$(echo "$version_rss" | mib)"
printf '  %-12s %-12s %-14s%s\n' status "$status_ms" "$(echo "$status_rss" | mib)" \
  "$([ "$status_failed" = 0 ] || echo " ($status_failed runs failed: $(tail -n 1 "$work/status.err" 2>/dev/null))")"
echo "  status / --version: $(awk -v s="$status_ms" -v v="$version_ms" \
  'BEGIN {print (s + 0 > 0 && v + 0 > 0) ? sprintf("%.2fx", s / v) : "-"}')"
echo
if [ "$compare" = 1 ]; then
  echo "virtual mouse's reports through the steps of skarn-bench-sequences, this build against $baseline_rev:"
  echo "  reports byte-identical and in the same order: ${same[553]:-not run} (553), ${same[560]:-not run} (560)"
  [ -z "$comparison" ] || echo "$comparison" | sed 's/^/    /'
else
  echo "record comparison against the baseline: not run (SKARN_BENCH_COMPARE=1 runs it)"
fi
echo
# Targets: usable at most 2x the floor and before every peer's; RSS at most
# floor + 10 MiB after start and + 6 MiB hidden; private below every peer's;
# hidden at most 0.5 wake-ups/s and 0.02 % CPU; dialogs within 100 ms; the
# send within 1 % of its pauses, through the session too, whose event loop
# stalls at most 50 ms meanwhile; status alone at most twice --version and
# within 25 MiB.
peer_usable=$(for n in piper solaar ckb-next; do m "${usable[$n]:-}"; done | grep -v '^-' | sort -g | head -n 1)
peer_private=$(for n in piper solaar ckb-next; do m "${private[$n]:-}"; done | grep -v '^-' | sort -g | head -n 1)
ok() { if awk "BEGIN {exit !($1)}" 2>/dev/null; then echo met; else echo "NOT met"; fi; }
echo "targets:"
echo "  usable <= 2x floor ($ou vs $fu ms): $(ok "$ou > 0 && $ou <= 2 * $fu")"
echo "  usable before every peer ($ou vs ${peer_usable:--} ms): $(ok "$ou > 0 && $ou < ${peer_usable:-0}")"
echo "  RSS after start <= floor + 10 MiB: $(ok "$orss > 0 && $orss <= $fr + 10240")"
echo "  RSS hidden <= floor + 6 MiB: $(ok "${rss_idle[skarn-config]/-/0} > 0 && ${rss_idle[skarn-config]/-/0} <= ${rss_idle[floor]/-/0} + 6144")"
echo "  private dirty < every peer's: $(ok "$(m "${private[skarn-config]:-}") < ${peer_private:-0}")"
echo "  hidden <= 0.5 wake-ups/s: $(ok "${wakeups[skarn-config]/-/99} <= 0.5")"
echo "  hidden <= 0.02 % CPU: $(ok "${cpu_idle[skarn-config]/ended/99} <= 0.02")"
slowest=$(echo "$dialogs" | awk '$2 ~ /^-?[0-9]+$/ {if ($2 < 0) $2 = 1e9; if ($2 > s) s = $2} END {print s + 0}')
echo "  each dialog <= 100 ms (slowest $slowest): $(ok "$slowest > 0 && $slowest <= 100")"
echo "  profile send within 1 % of its pauses: $(ok "$(echo "$send" | awk '{o = ($2 - $3) / $3 * 100; if (o > w) w = o} END {print w + 0}') <= 1")"
longest_stall=$(echo "${stall:-}" | awk 'NF >= 6 {if ($6 > m) m = $6; n++} END {print (n >= 3 ? m : -1)}')
echo "  event loop during a full profile send: longest stall <= 50 ms (553, 560; longest $longest_stall ms): $(ok "$longest_stall >= 0 && $longest_stall <= 50")"
session_over=$(echo "${stall:-}" | awk 'NF >= 4 {o = ($4 - 1) * 100; if (o > w) w = o; n++} END {print (n >= 3 ? w : 99)}')
echo "  profile send wall within 1 % of the pauses (session; at most $(printf '%+.1f' "$session_over") %): $(ok "$session_over <= 1")"
echo "  status alone <= 2x --version ($status_ms vs $version_ms ms): $(ok "$status_failed == 0 && ${status_ms/-/0} > 0 && ${status_ms/-/0} <= 2 * ${version_ms/-/0}")"
echo "  status alone <= 25 MiB RSS ($(echo "$status_rss" | mib) MiB): $(ok "$status_failed == 0 && ${status_rss/-/0} > 0 && ${status_rss/-/0} <= 25600")"
if [ "$compare" = 1 ]; then
  echo "  reports byte-identical and in the same order as $baseline_rev (553, 560): $(ok "\"${same[553]:-}${same[560]:-}\" == \"yesyes\"")"
fi
