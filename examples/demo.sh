#!/usr/bin/env bash
# Runs the three programs on the bundled example report and writes the jobs to the output folder.
set -euo pipefail
build=${1:-build}
out=${2:-out}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
bin=$(cd "$build" && pwd)
cd "$here"
"$bin/morvex" relatorio.txt formulario.fmt "$out/relatorio.pcl"
"$bin/morvel" relatorio.txt formulario.fmt "$out/relatorio.ps"
"$bin/morvpdf" relatorio.txt formulario.fmt "$out/relatorio-morvpdf.pdf"
# The designer's proof: the same pages over the grid.
"$bin/morvpdf" -g relatorio.txt formulario.fmt "$out/relatorio-grade.pdf"
# The same form with its logo as a colour PNG: in colour in PostScript and PDF, in dithered
# greys in PCL.
"$bin/morvex" relatorio.txt formulario-cor.fmt "$out/relatorio-cor.pcl"
"$bin/morvel" relatorio.txt formulario-cor.fmt "$out/relatorio-cor.ps"
"$bin/morvpdf" relatorio.txt formulario-cor.fmt "$out/relatorio-cor.pdf"
# The same report in two copies a page, the second from tray 2.
"$bin/morvex" relatorio.txt vias.fmt "$out/vias.pcl"
"$bin/morvel" relatorio.txt vias.fmt "$out/vias.ps"
"$bin/morvpdf" relatorio.txt vias.fmt "$out/vias.pdf"
mv -f vodrel.dbg "$out/" 2>/dev/null || true
rm -f md5.tmp
echo "PCL job:        $out/relatorio.pcl"
echo "PostScript job: $out/relatorio.ps"
echo "PDF document:   $out/relatorio-morvpdf.pdf"
echo "Proof (grid):   $out/relatorio-grade.pdf"
echo "Colour logo:    $out/relatorio-cor.pcl, $out/relatorio-cor.ps, $out/relatorio-cor.pdf"
echo "Two copies:     $out/vias.pcl, $out/vias.ps, $out/vias.pdf"
# A preview of the PostScript job, for a look without a printer.
if command -v gs >/dev/null 2>&1; then
    gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile="$out/relatorio.pdf" "$out/relatorio.ps"
    echo "Preview:        $out/relatorio.pdf"
fi
# And of the PCL job, where the PCL interpreter is installed as gpcl6.
if command -v gpcl6 >/dev/null 2>&1; then
    gpcl6 -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -sOutputFile="$out/relatorio-pcl.pdf" "$out/relatorio.pcl"
    echo "PCL preview:    $out/relatorio-pcl.pdf"
fi
