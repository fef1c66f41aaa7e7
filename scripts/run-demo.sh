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

if [ ! -f "$demo/demo.sqlite" ]; then
  build/bin/automat-cmd init-db "$demo/demo.sqlite" --demo
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run-demo: pas d'écran (ni DISPLAY ni WAYLAND_DISPLAY) : lancez cette commande dans une session graphique." >&2
  exit 1
fi
AUTOMAT_HOME="$demo" exec build/bin/automat
