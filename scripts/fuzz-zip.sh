#!/usr/bin/env bash
# Fuzzes the zip reader with libFuzzer for the given number of seconds (default 600)
# on a seed corpus of real archives (Info-ZIP, Python, our writer).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
scripts/install-deps.sh
if ! command -v clang++-14 >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends clang-14 libclang-rt-14-dev
fi
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++-14 -DAUTOMAT_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz --target fuzz_zip -j2

corpus=build-fuzz/corpus-zip
if [ ! -d "$corpus" ]; then
  mkdir -p "$corpus" build-fuzz/seed
  (cd build-fuzz/seed && printf 'bonjour\n' > a.txt && mkdir -p d && seq 1 2000 > d/b.txt && : > vide.txt)
  (cd build-fuzz/seed && zip -q -r -9 "../../$corpus/infozip-deflate.zip" . && zip -q -r -0 "../../$corpus/infozip-store.zip" .)
  python3 -c "import zipfile,sys; z=zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED); z.writestr('x/y.txt','abc'*100); z.writestr('dir/',''); z.close()" "$corpus/python.zip"
  build/bin/automat-cmd zip "$corpus/automat.zip" build-fuzz/seed/a.txt build-fuzz/seed/d/b.txt --comment seed >/dev/null
fi
build-fuzz/fuzz/fuzz_zip -max_total_time="$seconds" -max_len=65536 -print_final_stats=1 "$corpus"
