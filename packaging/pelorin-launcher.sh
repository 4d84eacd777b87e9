#!/bin/sh
# Starts the Pelorin desktop program.
#
# The program keeps "Pelorin.ini", reads its help pages and writes "SD_Belumar.kml" and
# "Mappe_SD.xls" in its working directory. Started from the application menu (the desktop
# entry passes --menu) that would be the home folder, which holds no help pages, so the
# menu start works in a per-user folder that carries copies of the installed help pages.
# Started by hand, it works in the current directory, as the program always has.
set -e
here=$(dirname "$(readlink -f "$0")")
prefix=$(dirname "$here")
program="$prefix/lib/pelorin/pelorin"
pages="$prefix/share/pelorin/help"

if [ "${1:-}" = "--menu" ]; then
  data="${XDG_DATA_HOME:-}"
  # An XDG base directory must be absolute; anything else is ignored.
  case "$data" in /*) ;; *) data="$HOME/.local/share" ;; esac
  folder="$data/pelorin"
  if ! mkdir -p "$folder"; then
    echo "pelorin: cannot create the folder $folder" >&2
    exit 1
  fi
  for page in "$pages"/Help_GE*.bmp; do
    [ -f "$page" ] || continue
    # Copies, not links: the folder stays usable while the package is being upgraded.
    cp -u "$page" "$folder/" 2>/dev/null || cp "$page" "$folder/"
  done
  cd "$folder"
fi
exec "$program"
