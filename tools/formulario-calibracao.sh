#!/usr/bin/env bash
# Writes the calibration forms examples/calibracao.fmt (A4) and examples/calibracao-carta.fmt
# (letter): rulers along the top and left edges, a tick every 0.1 inch and whole inches
# numbered, a crosshair near each corner with its coordinates beside it, the operator's steps,
# and the same on the back side. Run it again after changing it: the forms are kept in git as
# it writes them.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

# forma <paper word> <width> <height> <form name> <right crosshair x> <bottom crosshair y>
forma() {
    local papel=$1 largura=$2 altura=$3 nome=$4 cruz_x=$5 cruz_y=$6
    cat <<EOF
# Formulario de calibracao da impressora ($papel): imprima-o na fila, meca onde a cruz
# (1, 1) caiu e grave o deslocamento da fila (README, "Printing through CUPS").
# Feito por tools/formulario-calibracao.sh: mude o script, nao este arquivo.
PAPEL $papel
ORIENTACAO RETRATO
DUPLEX
EOF
    for lado in frente verso; do
        if [ "$lado" = verso ]; then
            printf '\n# ---- Verso: a mesma regua e as mesmas cruzes, para o deslocamento do verso\n'
            echo "VERSO NORMAL"
        else
            printf '\n# ---- Frente\n'
        fi
        awk -v largura="$largura" -v altura="$altura" -v lado="$lado" -v nome="$nome" \
            -v cruz_x="$cruz_x" -v cruz_y="$cruz_y" -v q="'" '
        # The length of the tick at k tenths of an inch: whole inches longest, halves longer.
        function traco(k) { return k % 10 == 0 ? 0.25 : (k % 5 == 0 ? 0.15 : 0.1) }
        function cruz(x, y,   dx) {
            printf "LINHA %.2f %.2f %.2f %.2f 1\n", x - 0.25, y, x + 0.25, y
            printf "LINHA %.2f %.2f %.2f %.2f 1\n", x, y - 0.25, x, y + 0.25
            dx = x > largura / 2 ? -1.05 : 0.08
            printf "TEXTO %.2f %.2f A8 - \"(%g, %g) pol\"\n", x + dx, y - 0.08, x, y
        }
        BEGIN {
            # The rulers: a line 0.25 inch from the edge and the ticks hanging from it.
            printf "LINHA 0.25 0.25 %.2f 0.25 2\n", largura - 0.25
            for (k = 3; k <= int((largura - 0.25) * 10); k++)
                printf "LINHA %.1f 0.25 %.1f %.2f 1\n", k / 10, k / 10, 0.25 + traco(k)
            for (k = 1; k <= int(largura - 0.4); k++)
                printf "TEXTO %.2f 0.62 A8 - \"%d\"\n", k + 0.03, k
            printf "LINHA 0.25 0.25 0.25 %.2f 2\n", altura - 0.25
            for (k = 3; k <= int((altura - 0.25) * 10); k++)
                printf "LINHA 0.25 %.1f %.2f %.1f 1\n", k / 10, 0.25 + traco(k), k / 10
            for (k = 1; k <= int(altura - 0.4); k++)
                printf "TEXTO 0.58 %.2f A8 - \"%d\"\n", k + 0.04, k
            cruz(1, 1); cruz(cruz_x, 1); cruz(1, cruz_y); cruz(cruz_x, cruz_y)
            titulo = lado == "frente" ? "FRENTE" : "VERSO"
            opcao = lado == "frente" ? "deslocamento" : "deslocamento-verso"
            printf "TEXTO C 2.2 A14 N \"CALIBRA\\,C\\~AO DA IMPRESSORA - %s\"\n", titulo
            printf "TEXTO C 2.5 A10 - \"formul\\%sario %s\"\n", q, nome
            y = 3.2
            print "TEXTO 1.5 " y " A10 N \"Como calibrar a fila:\""
            printf "TEXTO 1.5 %.2f A10 - \"1. Imprima este formul\\%sario na fila: lp -d FILA -o formulario=%s\"\n", y + 0.35, q, nome
            printf "TEXTO 1.5 %.2f A10 - \"2. Me\\,ca, com uma r\\%segua, da borda esquerda e da borda de cima do papel\"\n", y + 0.7, q
            printf "TEXTO 1.5 %.2f A10 - \"    at\\%se o centro da cruz (1, 1): h (horizontal) e v (vertical), em mm.\"\n", y + 0.95, q
            printf "TEXTO 1.5 %.2f A10 - \"3. O deslocamento, em polegadas: dx = (25,4 - h) / 25,4 e dy = (25,4 - v) / 25,4.\"\n", y + 1.3
            printf "TEXTO 1.5 %.2f A10 - \"4. Grave-o na fila e imprima de novo para conferir:\"\n", y + 1.65
            printf "TEXTO 1.5 %.2f C10 - \"   lpadmin -p FILA -o %s-default=dx,dy\"\n", y + 1.9, opcao
            printf "TEXTO 1.5 %.2f A9 I \"Exemplo: h = 26,4 mm e v = 24,9 mm d\\%sao -o %s-default=-0.04,0.02\"\n", y + 2.3, q, opcao
            printf "TEXTO 1.5 %.2f A9 I \"As outras cruzes conferem o papel: (%g, 1), (1, %g) e (%g, %g) polegadas.\"\n", y + 2.55, cruz_x, cruz_y, cruz_x, cruz_y
        }'
    done
}

forma A4 8.27 11.69 calibracao 7 10.5 >"$here/examples/calibracao.fmt"
forma CARTA 8.5 11 calibracao-carta 7.5 10 >"$here/examples/calibracao-carta.fmt"
