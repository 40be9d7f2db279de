#!/usr/bin/env bash
# Installs the Debian packages that a make target needs, and only those that are missing.
#
#   tools/dependencias.sh [--lista] <use>...
#
# Uses: build (compile the programs, filters and studio), demo (the example and its previews),
# test (the suite: renderers, decoders, a private cupsd, a real browser for the studio), fuzz
# (the libFuzzer harnesses), deb (the Debian package), bench (the benchmark's timings and its
# comparison, the studio's renders asked over HTTP). --lista prints the packages of the uses and
# installs nothing. Every Makefile target and .ci/run call this, so this table is the one list
# of what the project needs from the system.
set -euo pipefail

# package                use
read -r -d '' PACOTES <<'LISTA' || true
cmake                    build
make                     build
g++                      build
pkg-config               build
libmd-dev                build
libcups2-dev             build
libzint-dev              build
libharfbuzz-dev          build
libfontconfig-dev        build
libdeflate-dev           build
libmicrohttpd-dev        build
libpoppler-cpp-dev       build
libspng-dev              build
fonts-urw-base35         demo test bench
ghostscript              demo test bench
libgtest-dev             test
zbar-tools               test
dmtx-utils               test
poppler-utils            test bench
qpdf                     test
man-db                   test
cups                     test
cups-client              test
chromium                 test
chromium-driver          test
python3-selenium         test
clang                    fuzz
libclang-rt-14-dev       fuzz
zlib1g-dev               fuzz
dpkg-dev                 deb
lintian                  deb
time                     bench
enscript                 bench
curl                     bench
LISTA

lista=0
if [ "${1:-}" = "--lista" ]; then
    lista=1
    shift
fi
if [ $# -eq 0 ]; then
    echo "uso: $0 [--lista] build|demo|test|fuzz|deb|bench..." >&2
    exit 2
fi

# The packages that at least one of the asked uses needs, in the table's order.
pedidos=()
while read -r pacote usos; do
    [ -n "$pacote" ] || continue
    for uso in "$@"; do
        if [[ " $usos " == *" $uso "* ]]; then
            pedidos+=("$pacote")
            break
        fi
    done
done <<<"$PACOTES"

if [ "$lista" -eq 1 ]; then
    printf '%s\n' "${pedidos[@]}"
    exit 0
fi

# What dpkg does not know as installed; a second run on a ready machine stops here.
faltam=()
for pacote in "${pedidos[@]}"; do
    estado=$(dpkg-query -W -f='${Status}' "$pacote" 2>/dev/null || true)
    [ "$estado" = "install ok installed" ] || faltam+=("$pacote")
done
[ ${#faltam[@]} -eq 0 ] && exit 0

if ! command -v apt-get >/dev/null 2>&1; then
    echo "dependencias: apt-get not found; install these packages (Debian names) by hand:" >&2
    echo "  ${faltam[*]}" >&2
    exit 1
fi
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
        echo "dependencias: not root and no sudo; as root, run: apt-get install ${faltam[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi
echo "dependencias: installing ${faltam[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq "${faltam[@]}" >/dev/null
