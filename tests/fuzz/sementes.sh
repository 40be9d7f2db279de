#!/usr/bin/env bash
# Gathers the seed corpus of every fuzz harness into <dir>/sementes/<harness>: the small seeds
# kept next to the harnesses, and the example statement of invoices with its form and logo.
set -euo pipefail
dir=$(cd "$1" && pwd)
fonte=$(cd "$(dirname "$0")/../.." && pwd)
exemplos=$fonte/examples
seeds=$fonte/tests/fuzz/seeds
separador=$'\n--8<--\n'
sementes=$dir/sementes
rm -rf "$sementes"

copia() {  # harness, committed seed directory
    mkdir -p "$sementes/$1"
    cp "$seeds/$2"/* "$sementes/$1/"
}

copia fuzz_carregador carregador
cp "$exemplos/formulario.fmt" "$sementes/fuzz_carregador/exemplo.fmt"

copia fuzz_dados dados
{ cat "$exemplos/relatorio.txt"; printf '%s' "$separador"; printf 'L 0\nL 1\nS NOME:10:40\nV NOME\nL 2\nL 3\nL 5\n'; } \
    >"$sementes/fuzz_dados/exemplo.txt"

copia fuzz_bitmap bitmap
cp "$exemplos/logo.bmp" "$sementes/fuzz_bitmap/logo.bmp"
cp "$exemplos/logo.png" "$sementes/fuzz_bitmap/logo.png"

copia fuzz_codbar codbar

# The quoted texts of the example form, accents and all.
for h in fuzz_acentos_pcl fuzz_acentos_ps; do
    copia $h acentos
    n=0
    grep -o '"[^"]*"' "$exemplos/formulario.fmt" | while IFS= read -r texto; do
        n=$((n + 1))
        printf '%s' "${texto:1:${#texto}-2}" >"$sementes/$h/exemplo$n.txt"
    done
done

for h in fuzz_caminho_pcl fuzz_caminho_ps fuzz_caminho_pdf; do
    copia $h caminho
    { cat "$exemplos/relatorio.txt"; printf '%s' "$separador"; cat "$exemplos/formulario.fmt"; } \
        >"$sementes/$h/exemplo.txt"
done

# A request's numbers, then the form: the example's lines moved, one by one.
copia fuzz_estudio estudio
n=0
for linha in 12 13 17 22 66; do
    n=$((n + 1))
    { printf '1 0 96 %s 1.00 -0.25' "$linha"; printf '%s' "$separador"; cat "$exemplos/formulario.fmt"; } \
        >"$sementes/fuzz_estudio/exemplo$n.txt"
done
