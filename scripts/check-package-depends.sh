#!/usr/bin/env bash
# Fails when the package's Depends misses a package that provides something
# the program loads at run time, which the shared-library scan cannot see:
# the QML modules the scene imports (and what their qmldir files import in
# turn), the platform and image-format plugins, the libraries it opens
# itself, a font for each CJK language file and Qt's translation for each
# language.
#   scripts/check-package-depends.sh skarn-config_<version>_<arch>.deb
set -euo pipefail
# (A reader that stops early, as head does, would end its writer with
# SIGPIPE and, under pipefail, the script: the first line is taken with sed.)
cd "$(dirname "$0")/.."
deb=$1
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
qml_dir=/usr/lib/$multiarch/qt6/qml
plugin_dir=/usr/lib/$multiarch/qt6/plugins

depends=$(dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/^ *//; s/[( ].*//; /^$/d')
needed=() # "file what-needs-it"

# The scene's imports, then the imports of their qmldir files.
mapfile -t modules < <(grep -rhoE '^import +[A-Z][A-Za-z.]*' modules/qml | awk '{print $2}' | sort -u)
seen=" "
while [ ${#modules[@]} -gt 0 ]; do
  module=${modules[0]}
  modules=("${modules[@]:1}")
  case $seen in *" $module "*) continue ;; esac
  seen+="$module "
  qmldir=$qml_dir/${module//.//}/qmldir
  if [ ! -f "$qmldir" ]; then
    echo "QML module $module: no $qmldir on this machine" >&2
    exit 1
  fi
  needed+=("$qmldir QML module $module")
  mapfile -t -O ${#modules[@]} modules < <(awk '$1 == "import" || $1 == "depends" {print $2}' "$qmldir")
done

# Platforms the window runs on, the image formats of its artwork (PNG is
# built in; SVG at scales other than 1, the tray's .ico).
needed+=("$plugin_dir/platforms/libqxcb.so X11 platform")
needed+=("$plugin_dir/platforms/libqwayland-generic.so Wayland platform")
for format in $(ls modules/img | sed -n 's/.*\.\(svg\|ico\)$/\1/p' | sort -u); do
  needed+=("$plugin_dir/imageformats/libq$format.so image format $format")
done

# Libraries the program opens itself when it first needs them.
for library in $(grep -rhoE 'RuntimeLibrary [a-z]+\("[^"]+"' app session view device |
                 sed 's/.*("//; s/"$//' | sort -u); do
  path=$(ldconfig -p | awk -v l="$library" '$1 == l && !found {print $NF; found = 1}')
  if [ -z "$path" ]; then
    echo "runtime library $library: not on this machine" >&2
    exit 1
  fi
  needed+=("$path library opened at run time")
done

# Glyphs for the languages whose script DejaVu lacks.
for file in modules/i18n/*.ini; do
  case $(basename "$file" .ini) in
    ChineseSimplified) lang=zh-cn ;;
    ChineseTraditional) lang=zh-tw ;;
    Japanese) lang=ja ;;
    Korean) lang=ko ;;
    *) continue ;;
  esac
  font=$(fc-list ":lang=$lang" file | sed -n 1p | sed 's/: *$//')
  if [ -z "$font" ]; then
    echo "no font for $lang on this machine" >&2
    exit 1
  fi
  needed+=("$font font for $lang")
done

# Qt's own texts (the file dialogs' buttons) in each language but English;
# the language file names its locale.
translations=$(qtpaths6 --query QT_INSTALL_TRANSLATIONS 2>/dev/null || echo /usr/share/qt6/translations)
for file in modules/i18n/*.ini; do
  locale=$(awk '/^\[/ {group = $0} group == "[language]" && /^1=/ {sub(/^1=/, ""); print}' "$file")
  [ -z "$locale" ] || [ "$locale" = en ] && continue
  needed+=("$translations/qtbase_$locale.qm Qt's texts for $locale")
done

missing=0
for entry in "${needed[@]}"; do
  file=${entry%% *}
  package=$(dpkg -S "$(readlink -f "$file")" 2>/dev/null | sed -n 1p | cut -d: -f1 || true)
  if [ -z "$package" ]; then
    package=$(dpkg -S "$file" 2>/dev/null | sed -n 1p | cut -d: -f1 || true)
  fi
  if [ -z "$package" ]; then
    echo "${entry#* }: $file belongs to no package" >&2
    missing=1
  elif ! grep -qx "$package" <<<"$depends"; then
    echo "${entry#* }: $package ($file) is missing from Depends" >&2
    missing=1
  fi
done
[ $missing = 0 ] && echo "Depends covers the ${#needed[@]} files loaded at run time"
exit $missing
