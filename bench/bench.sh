#!/usr/bin/env bash
# Benchmark of morvex, morvel and morvpdf on a generated report, run by `make bench`.
#
#   bench/bench.sh [build-dir]        (default build/, a Release build)
#
# It generates a report of PAGINAS pages (60 lines of 132 columns, a page heading and five
# sections per page) and a form of about 30 objects (fixed boxes, lines and texts; INPUT from
# sections; CAPTURA and MOSTRA; one barcode), then times both programs on it and prints pages
# per second and peak memory; then the same form with one MD5V stamp per page, and with one QR
# code (a Pix code) per page, whose pages per second are set against the plain form's; then
# FATOR times the pages. morvpdf is set against morvel and against the PDF that Ghostscript's
# pdfwrite makes of morvel's job, with the size of its PDF against morvel's PostScript job. Where
# enscript is installed it is timed on the same report. Then a one-page report printed with a format of
# OBJETOS object lines and with one of FATOR times as many: the load must stay linear. Each time
# is the best of REPETICOES runs. Last, morvstudio: from a changed form to its new picture, page
# 1 of the example at 100%, the median of DESENHOS renders asked over HTTP (curl), against its
# target; and page 1 and the last page of the report of FATOR times the pages, which must cost
# the same.
#
# Settings from the environment: PAGINAS (2000), FATOR (10), REPETICOES (3), OBJETOS (10000),
# DESENHOS (50).
# Peak memory needs GNU time (/usr/bin/time, package "time"); without it memory shows n/a.
set -euo pipefail

PAGINAS=${PAGINAS:-2000}
FATOR=${FATOR:-10}
REPETICOES=${REPETICOES:-3}
OBJETOS=${OBJETOS:-10000}
DESENHOS=${DESENHOS:-50}

compilacao=${1:-build}
for programa in morvex morvel morvpdf morvstudio; do
    if [[ ! -x "$compilacao/$programa" ]]; then
        echo "bench: $compilacao/$programa not found; build first (make build)" >&2
        exit 1
    fi
done
compilacao=$(cd "$compilacao" && pwd)
exemplos=$(cd "$(dirname "$0")/../examples" && pwd)

trabalho=$(mktemp -d "${TMPDIR:-/tmp}/morv-bench-XXXXXX")
pid_estudio=""
trap '[[ -n $pid_estudio ]] && kill "$pid_estudio" 2>/dev/null; rm -rf "$trabalho"' EXIT
# The programs write vodrel.dbg and md5.tmp in the working directory.
cd "$trabalho"

tempo_gnu=""
[[ -x /usr/bin/time ]] && tempo_gnu=/usr/bin/time

# gera_relatorio PAGINAS: a line-printer report, every line 132 columns wide; pages after the
# first start with a form feed at the head of their heading line, as line printers get them.
gera_relatorio() {
    awk -v paginas="$1" '
    function linha(s) { printf "%-132.132s\n", s }
    BEGIN {
        srand(7)
        split("MARIA DA SILVA|JOSE DE SOUZA|ANA PEREIRA|CARLOS ALBERTO LIMA|" \
              "FERNANDA COSTA|PAULO ROBERTO DIAS|LUCIA HELENA ROCHA|MARCOS VINICIUS REIS", nomes, "|")
        split("PAPEL A4 (RESMA)|TONER PRETO|ENVELOPE OFICIO (CX)|ETIQUETA A4 (CX)|" \
              "GRAMPEADOR|CANETA AZUL (CX)|PASTA SUSPENSA|FITA ADESIVA", itens, "|")
        for (p = 1; p <= paginas; p++) {
            cab = sprintf("%-40s%-40s%-40sPAG. %6d", "EMPRESA EXEMPLO S.A.",
                          "RELATORIO DE COBRANCA", "EMISSAO 08/12/2026", p)
            if (p > 1) cab = "\f" cab
            linha(cab)
            linha(".secao 1 CLIENTE")
            n = nomes[(p % 8) + 1]
            linha(sprintf("%-60s CPF %03d.%03d.%03d-%02d", n, p % 1000, (p * 7) % 1000,
                          (p * 13) % 1000, p % 100))
            linha(sprintf("RUA DAS FLORES, %d - CENTRO", 100 + p % 900))
            linha(sprintf("%05d-%03d CAMPINAS SP", 13000 + p % 1000, p % 1000))
            linha(".fim")
            linha(".secao 2 CODIGO DE BARRAS")
            linha(sprintf("34191%09d%010d%020d", p, p * 7, p * 13))
            linha(".fim")
            linha(".secao 3 ITENS")
            total = 0
            for (i = 1; i <= 43; i++) {
                q = 1 + int(rand() * 20)
                v = int(rand() * 50000) / 100
                total += q * v
                linha(sprintf("%06d  %-40s %8d %12.2f %12.2f  %-40s", p * 46 + i,
                              itens[int(rand() * 8) + 1], q, v, q * v, "ENTREGA PROGRAMADA"))
            }
            linha(".fim")
            linha(".secao 4 TOTAL")
            linha(sprintf("TOTAL  %06d  2026-12-%02d  %15.2f", p % 1000000, 1 + p % 28, total))
            linha(".fim")
            # A Pix payment code of the usual length (its last four digits stand for the CRC).
            linha(".secao 5 PIX")
            linha(sprintf("00020126360014br.gov.bcb.pix0114123456780001955204000053039865410%010.2f" \
                          "5802BR5920EMPRESA EXEMPLO S.A6008CAMPINAS62140510FAT%07d6304%04X",
                          total, p, p % 65536))
            linha(".fim")
        }
    }'
}

# gera_formato [md5|qr]: the form; with md5, one MD5V stamp per page more; with qr, one QR code
# (the page's Pix code) per page more.
gera_formato() {
    cat <<'FIM'
# Benchmark form: 17 fixed objects, 15 variable ones
PAPEL A4
RETANG 0.5 0.4 7.27 0.9 10 2
RETANG 0.5 2.8 7.27 4.6 0 2
RETANG 0.5 7.6 7.27 0.5 20 1
RETANGA 0.5 1.5 7.27 1.1 0000 2
RETANGA 0.5 8.4 7.27 2.6 0101 2
LINHA 0.5 3.15 7.77 3.15 2
LINHA 4.0 2.8 4.0 7.4 1
LINHA 5.5 2.8 5.5 7.4 1
LINHA 0.5 8.25 7.77 8.25 -2
TEXTO C 0.95 A14 N "Extrato de Cobran\,ca"
TEXTO 0.7 1.15 A8 - "Empresa Exemplo S.A."
TEXTO 6.2 1.15 A8 - Folha
TEXTO 0.7 1.7 A8 I Cliente
TEXTO 0.7 3.05 C10 N "C\'odigo  Descri\,c\~ao"
TEXTO 4.1 3.05 C10 N Quantidade
TEXTO 5.6 3.05 C10 N Valor
TEXTO 0.7 7.9 A10 N "Total a pagar"
CAPTURA 0 FOLHA:126:6
MOSTRA 6.6 1.15 A8 - FOLHA
INPUT 0.7 2.0 A10 N 1
INPUT 0.7 2.25 A10 - 1
INPUT 0.7 2.5 A10 - 1
CODBAR 0.7 8.6 2 i25 2
INPUT 0.7 3.4 C8 - 3
INPUT 0.7 3.55 C8 - 3
INPUT 0.7 3.7 C8 - 3
INPUT 0.7 3.85 C8 - 3
INPUT 0.7 4.0 C8 - 3
CAPTURA 4 DOC:8:6 VENC:16:10 VALOR:28:15
MOSTRA 5.6 7.9 C10 N VALOR
MOSTRA 0.7 9.4 A10 - VENC
MOSTRA 0.7 9.7 A8 N DOC
FIM
    if [[ ${1:-} == md5 ]]; then
        echo 'MD5V 0.7 10.2 C8 - N6 DOC X10 VENC N15 VALOR - x - x - x'
    fi
    if [[ ${1:-} == qr ]]; then
        echo 'CODMATRIZ 6.2 8.6 1.2 qrcode 5'
    fi
}

# gera_formato_longo LINHAS: a format of that many lines, mostly objects: texts, lines, comments
# and section reads, as a generated form may hold them.
gera_formato_longo() {
    awk -v n="$1" 'BEGIN {
        split("TEXTO 1 1 A10 N x|TEXTO 1 1 A10 N x|LINHA 1 1 2 1|# nota|INPUT 1 1 A10 N 1", l, "|")
        for (i = 0; i < n; i++) print l[i % 5 + 1]
    }'
}

# mede SAIDA COMANDO...: runs the command REPETICOES times with its standard output in SAIDA;
# sets `segundos` to the best wall time, `cpu` to the best processor time (user and system,
# child processes included) and `pico_kb` to the greatest peak resident set size.
mede() {
    local saida=$1
    shift
    segundos=""
    cpu="n/a"
    pico_kb="n/a"
    local i inicio fim decorrido kb uso
    for ((i = 0; i < REPETICOES; i++)); do
        # `times` is a builtin: nothing else runs between the two readings of the children's
        # processor time, which include the processes the program itself waits for.
        times >tempos_antes.txt
        inicio=$EPOCHREALTIME
        if [[ -n $tempo_gnu ]]; then
            "$tempo_gnu" -f '%M' -o medida.txt "$@" >"$saida" 2>erros.txt || falha "$@"
        else
            "$@" >"$saida" 2>erros.txt || falha "$@"
        fi
        fim=$EPOCHREALTIME
        times >tempos_depois.txt
        decorrido=$(awk -v a="$inicio" -v b="$fim" 'BEGIN { printf "%.6f", b - a }')
        menor segundos "$decorrido"
        uso=$(awk 'function s(t, p) { split(t, p, "m"); return p[1] * 60 + p[2] }
                   FNR == 2 { v = s($1) + s($2); if (FILENAME ~ /antes/) a = v; else d = v }
                   END { printf "%.3f", d - a }' tempos_antes.txt tempos_depois.txt)
        [[ $cpu == n/a ]] && cpu=$uso
        menor cpu "$uso"
        if [[ -n $tempo_gnu ]]; then
            kb=$(tail -n 1 medida.txt)
            if [[ $pico_kb == n/a ]] || ((kb > pico_kb)); then pico_kb=$kb; fi
        fi
    done
    if [[ -s erros.txt ]]; then
        echo "bench: $1 wrote to standard error:" >&2
        head -n 5 erros.txt >&2
    fi
}

# menor VARIAVEL VALOR: keeps the smaller of the two in the variable (empty counts as none).
menor() {
    local -n atual=$1
    if [[ -z $atual ]] || awk -v a="$2" -v b="$atual" 'BEGIN { exit !(a < b) }'; then
        atual=$2
    fi
}

falha() {
    echo "bench: failed: $*" >&2
    cat erros.txt >&2
    exit 1
}

# Pages of a job: PCL page ends, PostScript showpage lines, enscript's own count.
paginas_pcl() { grep -a -o $'\e&a0P' "$1" | wc -l; }
paginas_ps() { grep -a -c '^showpage$' "$1"; }
paginas_dsc() { grep -a -c '^%%Page:' "$1"; }
# A PDF's pages as poppler counts them (0 without pdfinfo).
paginas_pdf() { pdfinfo "$1" 2>/dev/null | awk '/^Pages:/ { print $2; f = 1 } END { if (!f) print 0 }'; }

# linha_resultado ROTULO PAGINAS ARQUIVO_JOB PAGINAS_NO_JOB
linha_resultado() {
    awk -v r="$1" -v p="$2" -v s="$segundos" -v c="$cpu" -v m="$pico_kb" \
        -v j="$(stat -c %s "$3")" -v pj="$4" \
        'BEGIN { printf "%-16s %7d %8.3f %7s %9.0f %8s %7.1f %7d\n", r, p, s, c, p / s, m, j / 1048576, pj }'
    if [[ $4 != "$2" ]]; then
        echo "bench: $1 printed $4 pages instead of $2" >&2
    fi
}

# razao A B: A / B with two decimals, or n/a when either is not measured.
razao() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "n/a" || b == "n/a" || b <= 0) print "n/a"; else printf "%.2f", a / b }'; }
# vezes RAZAO: the ratio written as a factor.
vezes() { if [[ $1 == n/a ]]; then echo n/a; else echo "${1}x"; fi; }
# veredito VALOR ALVO min|max
veredito() {
    awk -v v="$1" -v alvo="$2" -v sentido="$3" 'BEGIN {
        if (v == "n/a") { printf "not measured"; exit }
        ok = (sentido == "min") ? v >= alvo : v <= alvo; printf "%s", ok ? "met" : "MISSED" }'
}

echo "Generating the report ($PAGINAS pages) and the forms..."
gera_relatorio "$PAGINAS" >relatorio.txt
gera_formato >formulario.fmt
gera_formato md5 >formulario_md5.fmt
gera_formato qr >formulario_qr.fmt
sync  # no write-back of the new report competes with the runs
objetos=$(grep -c -v -e '^#' -e '^PAPEL' formulario.fmt)

echo
echo "Report: $PAGINAS pages of 60 lines x 132 columns, $(($(stat -c %s relatorio.txt) / 1048576)) MB;" \
    "form: $objetos objects; best of $REPETICOES runs; $(nproc) cores, load average" \
    "$(cut -d ' ' -f 1 /proc/loadavg) at the start."
if awk -v l="$(cut -d ' ' -f 1 /proc/loadavg)" -v n="$(nproc)" 'BEGIN { exit !(l > n / 2) }'; then
    echo "The machine is busy: wall times are noisy, processor times (cpu s) less so."
fi
[[ -z $tempo_gnu ]] && echo "GNU time is missing (apt-get install time): no peak memory."
printf '%-16s %7s %8s %7s %9s %8s %7s %7s\n' run pages "wall s" "cpu s" "pages/s" "peak KB" "job MB" "in job"

declare -A parede processador memoria
# roda ROTULO CHAVE PAGINAS CONTADOR COMANDO...: measures one run and keeps its figures under CHAVE.
roda() {
    local rotulo=$1 chave=$2 paginas=$3 contador=$4
    shift 4
    mede job "$@"
    parede[$chave]=$segundos
    processador[$chave]=$cpu
    memoria[$chave]=$pico_kb
    linha_resultado "$rotulo" "$paginas" job "$($contador job)"
}

roda morvex morvex "$PAGINAS" paginas_pcl "$compilacao/morvex" relatorio.txt formulario.fmt
roda morvel morvel "$PAGINAS" paginas_ps "$compilacao/morvel" relatorio.txt formulario.fmt
tamanho_ps=$(stat -c %s job)
roda morvpdf morvpdf "$PAGINAS" paginas_pdf "$compilacao/morvpdf" relatorio.txt formulario.fmt
tamanho_pdf=$(stat -c %s job)
tem_gs=""
if command -v gs >/dev/null; then
    tem_gs=1
    # The way to a PDF without morvpdf: morvel's job through Ghostscript's pdfwrite.
    roda "morvel | gs" gs "$PAGINAS" paginas_pdf bash -c \
        "'$compilacao/morvel' relatorio.txt formulario.fmt | gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile=- -"
fi
tem_enscript=""
if command -v enscript >/dev/null; then
    tem_enscript=1
    # Landscape A4, Courier 7 points, no page header: one sheet per report page.
    roda enscript enscript "$PAGINAS" paginas_dsc enscript -q -B -r -M A4 -f Courier7 -o - relatorio.txt
fi
roda "morvex + MD5V" morvex.md5 "$PAGINAS" paginas_pcl "$compilacao/morvex" relatorio.txt formulario_md5.fmt
roda "morvel + MD5V" morvel.md5 "$PAGINAS" paginas_ps "$compilacao/morvel" relatorio.txt formulario_md5.fmt
roda "morvex + QR" morvex.qr "$PAGINAS" paginas_pcl "$compilacao/morvex" relatorio.txt formulario_qr.fmt
roda "morvel + QR" morvel.qr "$PAGINAS" paginas_ps "$compilacao/morvel" relatorio.txt formulario_qr.fmt

paginas_grande=$((PAGINAS * FATOR))
gera_relatorio "$paginas_grande" >relatorio.txt
sync
roda "morvex x$FATOR" morvex.grande "$paginas_grande" paginas_pcl "$compilacao/morvex" relatorio.txt formulario.fmt
roda "morvel x$FATOR" morvel.grande "$paginas_grande" paginas_ps "$compilacao/morvel" relatorio.txt formulario.fmt
roda "morvpdf x$FATOR" morvpdf.grande "$paginas_grande" paginas_pdf "$compilacao/morvpdf" relatorio.txt formulario.fmt

# estudio_inicia RELATORIO FORMULARIO: morvstudio on them, on a free port; sets `endereco` (with
# the token) and `autoridade` (its host and port).
estudio_inicia() {
    rm -f estudio.txt
    "$compilacao/morvstudio" -p 0 "$1" "$2" >estudio.txt 2>estudio_erros.txt &
    pid_estudio=$!
    local i
    for ((i = 0; i < 6000; i++)); do
        [[ -s estudio.txt ]] && break
        kill -0 "$pid_estudio" 2>/dev/null || { cat estudio_erros.txt >&2; exit 1; }
        sleep 0.05
    done
    endereco=$(head -n 1 estudio.txt)
    autoridade=${endereco#http://}
    autoridade=${autoridade%%/*}
}
estudio_para() {
    kill -TERM "$pid_estudio"
    wait "$pid_estudio" || true
    pid_estudio=""
}
# mediana_desenhos N PAGINA FORMULARIO: N renders of the page, each of the form changed anew (one
# text more, in a place of its own); sets `mediana_ms`.
mediana_desenhos() {
    local i
    : >tempos.txt
    for ((i = 0; i < $1; i++)); do
        { cat "$3"; printf 'TEXTO 0.7 %d.%02d A8 - "bench %d"\n' $((9 + i % 2)) $((i % 100)) "$i"; } >mudado.fmt
        curl -s -o resposta.json -w '%{time_total}\n' -X POST -H "Origin: http://$autoridade" \
            --data-binary @mudado.fmt "${endereco}api/desenho?pagina=$2&lado=0&dpi=96&grade=0&vista=morvpdf" \
            >>tempos.txt
        grep -q '"ok":true' resposta.json || { echo "bench: the studio did not draw page $2:" >&2; head -c 300 resposta.json >&2; exit 1; }
    done
    mediana_ms=$(sort -n tempos.txt | awk '{ t[NR] = $1 } END { m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2; printf "%.1f", m * 1000 }')
}
echo
echo "morvstudio: $DESENHOS renders of a changed form, page 1 of the example at 100% (96 dpi)..."
mkdir -p exemplo
cp "$exemplos/"{relatorio.txt,formulario.fmt,logo.bmp} exemplo/
estudio_inicia exemplo/relatorio.txt exemplo/formulario.fmt
mediana_desenhos "$DESENHOS" 1 exemplo/formulario.fmt
estudio_exemplo=$mediana_ms
estudio_para
echo "  median ${estudio_exemplo} ms"
echo "morvstudio on the report of $paginas_grande pages: page 1 and page $paginas_grande, $((DESENHOS / 5)) renders each..."
estudio_inicia relatorio.txt formulario.fmt
mediana_desenhos $((DESENHOS / 5)) 1 formulario.fmt
estudio_primeira=$mediana_ms
mediana_desenhos $((DESENHOS / 5)) "$paginas_grande" formulario.fmt
estudio_ultima=$mediana_ms
estudio_para
echo "  median ${estudio_primeira} ms for page 1, ${estudio_ultima} ms for page $paginas_grande"

objetos_grande=$((OBJETOS * FATOR))
printf '.secao 1\nABC\n.fim\n' >relatorio.txt
gera_formato_longo "$OBJETOS" >longo.fmt
gera_formato_longo "$objetos_grande" >longo_grande.fmt
for programa in morvex morvel; do
    contador=paginas_pcl
    [[ $programa == morvel ]] && contador=paginas_ps
    roda "$programa $OBJETOS obj" $programa.carga 1 $contador "$compilacao/$programa" relatorio.txt longo.fmt
    roda "$programa $objetos_grande obj" $programa.carga_grande 1 $contador "$compilacao/$programa" relatorio.txt longo_grande.fmt
done
rm -f job relatorio.txt longo.fmt longo_grande.fmt

echo
# compara TEXTO A B ALVO min|max: the time of run A over that of run B (for the same pages, B's
# pages/s over A's), on the wall clock and, in brackets, in processor time, against its target.
compara() {
    local r rc sentido="at least"
    [[ $5 == max ]] && sentido="at most"
    r=$(razao "${parede[$2]}" "${parede[$3]}")
    rc=$(razao "${processador[$2]}" "${processador[$3]}")
    echo "  $1: $(vezes "$r") ($(vezes "$rc")), target $sentido ${4}x: $(veredito "$r" "$4" "$5") ($(veredito "$rc" "$4" "$5"))"
}
# plana PROGRAMA: its peak memory for FATOR times the pages against the plain run's.
plana() {
    local r
    r=$(razao "${memoria[$1.grande]}" "${memoria[$1]}")
    echo "  $1 peak memory: ${memoria[$1]} KB, ${memoria[$1.grande]} KB for ${FATOR}x the pages: $(vezes "$r"), target flat (at most 1.10x): $(veredito "$r" 1.10 max)"
}

echo "Against the targets (wall time; processor time in brackets):"
for programa in morvex morvel; do
    if [[ -n $tem_enscript ]]; then
        compara "$programa pages/s over enscript's" enscript "$programa" 2 min
    else
        echo "  $programa against enscript: not measured (enscript not installed: apt-get install enscript)"
    fi
    compara "$programa time for ${FATOR}x the pages" "$programa.grande" "$programa" $((FATOR + 1)) max
    compara "$programa time for a format of ${FATOR}x the lines" "$programa.carga_grande" "$programa.carga" $((FATOR + 1)) max
    plana "$programa"
    # Same report and page count: the stamped job's pages/s over the unstamped one's is the
    # unstamped time over the stamped time.
    compara "$programa pages/s with one MD5V stamp a page over without" "$programa" "$programa.md5" 0.5 min
    compara "$programa pages/s with one QR code a page over without" "$programa" "$programa.qr" 0.5 min
done
if [[ -n $tem_gs ]]; then
    compara "morvpdf pages/s over morvel | gs pdfwrite" gs morvpdf 40 min
else
    echo "  morvpdf against morvel | gs: not measured (Ghostscript not installed)"
fi
compara "morvpdf pages/s over morvel's" morvel morvpdf 0.5 min
plana morvpdf
r=$(razao "$tamanho_pdf" "$tamanho_ps")
echo "  morvpdf's PDF over morvel's PostScript job: $tamanho_pdf over $tamanho_ps bytes, $(vezes "$r"), target at most 0.3x: $(veredito "$r" 0.3 max)"
echo "  morvstudio, a changed form to its new picture (page 1 of the example, median of $DESENHOS): ${estudio_exemplo} ms, target under 150 ms: $(veredito "$estudio_exemplo" 150 max)"
r=$(razao "$estudio_ultima" "$estudio_primeira")
echo "  morvstudio, page $paginas_grande of $paginas_grande over page 1: ${estudio_ultima} over ${estudio_primeira} ms, $(vezes "$r"), target at most 1.5x: $(veredito "$r" 1.5 max)"
