#!/usr/bin/env bash
# Builds the Debian package from a copy of the tree (what git tracks, as it
# is in the working tree), checks it (lintian, Depends, version), installs
# it, runs the installed program as a user would (--version, status on the
# virtual mouse, the window under Xvfb until it shows), removes it and
# checks that none of its files is left. Needs root for the install; on a
# machine where skarn-config is installed already it stops after the checks
# rather than replace it. With a .deb as argument, that one is tried.
# (Pipes end in readers that read everything: under pipefail, one that
# stops early, as grep -q does, can fail the script through SIGPIPE.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ $# -gt 0 ]; then
  deb=$(realpath "$1")
else
  mkdir "$work/skarn-config"
  git ls-files -z | tar --null -cf - -T - | tar -xf - -C "$work/skarn-config"
  (cd "$work/skarn-config" && dpkg-buildpackage -us -uc -b >"$work/build.log" 2>&1) ||
    { tail -40 "$work/build.log"; exit 1; }
  deb=$(ls "$work"/skarn-config_*.deb)
  echo "built $(basename "$deb")"
fi

lintian --fail-on error,warning "$deb" 2>&1 | { grep -v '^running with root privileges' || true; }
scripts/check-package-depends.sh "$deb"

# One version: the build's, in the changelog, the AppStream release and --version.
version=$(sed -n 's/^project(SkarnConfig VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
changelog=$(dpkg-parsechangelog -S Version)
[ "$changelog" = "$version" ] || { echo "changelog $changelog, build $version" >&2; exit 1; }
dpkg-deb --fsys-tarfile "$deb" | tar -xf - -C "$work" ./usr/share/metainfo ./usr/share/applications
grep -q "<release version=\"$version\"" "$work"/usr/share/metainfo/*.xml ||
  { echo "the AppStream release is not $version" >&2; exit 1; }
appstreamcli validate --no-net "$work"/usr/share/metainfo/*.xml
desktop-file-validate "$work"/usr/share/applications/*.desktop

if dpkg-query -W -f='${Status}' skarn-config 2>/dev/null | grep 'ok installed' >/dev/null; then
  echo "skarn-config is installed on this machine: not replaced; install and removal not tried"
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
apt-get -o DPkg::Lock::Timeout=600 install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; exit 1; }
dpkg -L skarn-config >"$work/files"

# As a user with a home of its own, on the virtual mouse.
home=$work/home
mkdir -m 700 "$home"
run() {
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home" SKARN_VIRTUAL_MOUSE=553 "$@"
}
run skarn-config --version | grep -x "skarn-config $version" >/dev/null
run skarn-config status --json | grep '"connected":true' >/dev/null
run xvfb-run -a -s "-screen 0 1280x800x24" sh -c '
  skarn-config --verbose >"$HOME/window.log" 2>&1 &
  for i in $(seq 100); do
    if grep -q "Device Connect" "$HOME/window.log" &&
       xdotool search --onlyvisible --name ".*" 2>/dev/null |
         while read -r w; do xdotool getwindowgeometry "$w"; done | grep -q "Geometry: 1024x640"; then
      kill $!
      wait
      exit 0
    fi
    sleep 0.2
  done
  cat "$HOME/window.log"
  exit 1' || { echo "the installed program did not show its window" >&2; exit 1; }
echo "the installed program runs: --version, status, its window"

apt-get -o DPkg::Lock::Timeout=600 purge -y -qq skarn-config >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; exit 1; }
left=0
while read -r path; do
  if [ -f "$path" ] || [ -L "$path" ]; then
    echo "left behind: $path" >&2
    left=1
  fi
done <"$work/files"
[ $left = 0 ] && echo "removed: none of its $(wc -l <"$work/files") paths is left"
exit $left
