#!/usr/bin/env bash
# The run command: installs what is missing, builds, prepares the demo application
# folder ./demo and opens the program there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh

demo="$PWD/demo"
mkdir -p "$demo/image" "$demo/RPT SQL"
if [ ! -f "$demo/automat.ini" ]; then
  cat > "$demo/automat.ini" <<'INI'
; Demo application folder of automat.
[Base de donnée]
Fichier=demo.sqlite
Nom=ZUR
Serveur=VOREROZIVER\AUTOMATE

[App]
MasqueCB=OUI
INI
fi

# Button pictures: public-domain Tango icons under the names the program looks for
# (the program reads a picture by its content, whatever its file name says).
tango=/usr/share/icons/Tango/32x32
if [ -d "$tango" ] && [ ! -d "$demo/icon" ]; then
  mkdir -p "$demo/icon"
  while read -r name source; do
    [ -f "$tango/$source" ] && cp "$tango/$source" "$demo/icon/$name"
  done <<'ICONS'
graph01.gif apps/utilities-system-monitor.png
book01.gif mimetypes/x-office-document.png
wrench.ico categories/preferences-system.png
6pt5a.gif apps/system-users.png
6pt3a.gif apps/help-browser.png
door02.gif actions/system-log-out.png
desktop.gif places/user-desktop.png
secur06.ico actions/system-lock-screen.png
orgchrt2.gif places/network-workgroup.png
crdfle04.ico mimetypes/x-office-address-book.png
note14.ico actions/document-properties.png
misc08.ico apps/preferences-desktop-personal.png
fonts.gif apps/preferences-desktop-font.png
net14.ico apps/system-users.png
misc25.ico devices/printer.png
ICONS
  echo "Icônes du thème Tango (domaine public, paquet Debian tango-icon-theme)." > "$demo/icon/LISEZMOI.txt"
fi

# The report templates shipped with the program.
cp -n rpt/*.RPT "$demo/RPT SQL/" 2>/dev/null || true

[ -f "$demo/MAINTEN.MDB" ] || build/bin/automat-cmd init-journal --dossier "$demo" >/dev/null

if [ ! -f "$demo/demo.sqlite" ]; then
  build/bin/automat-cmd init-db "$demo/demo.sqlite" --demo
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-demo: pas d'écran (ni DISPLAY ni WAYLAND_DISPLAY) : lancez cette commande dans une session graphique." >&2
  exit 1
fi
AUTOMAT_HOME="$demo" exec build/bin/automat
