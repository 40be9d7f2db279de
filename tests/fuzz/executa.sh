#!/usr/bin/env bash
# Runs every fuzz harness built in <dir> for <seconds> on its seeds (gathered by sementes.sh)
# and on a corpus it keeps in <dir>/corpus; prints each harness's executions per second and
# total runs. Fails when any harness finds a crash, leak, undefined behaviour or hang; the
# input that did it is left in <dir>/achados.
set -uo pipefail
dir=$(cd "$1" && pwd)
segundos=${2:-60}
fonte=$(cd "$(dirname "$0")" && pwd)
harnesses=(fuzz_carregador fuzz_dados fuzz_bitmap fuzz_codbar fuzz_acentos_pcl fuzz_acentos_ps
           fuzz_caminho_pcl fuzz_caminho_ps fuzz_caminho_pdf fuzz_estudio)

"$fonte/sementes.sh" "$dir"
mkdir -p "$dir/achados" "$dir/logs"
falhas=()
for h in "${harnesses[@]}"; do
    opcoes=(-max_total_time="$segundos" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1
            -artifact_prefix="$dir/achados/$h-")
    case $h in
        fuzz_carregador | fuzz_caminho_* | fuzz_estudio) opcoes+=(-dict="$fonte/formato.dict") ;;
        fuzz_bitmap) opcoes+=(-dict="$fonte/png.dict") ;;
    esac
    # The whole road writes the programs' messages for every bad format: keep them out of the log.
    case $h in fuzz_caminho_*) opcoes+=(-close_fd_mask=2) ;; esac
    mkdir -p "$dir/corpus/$h" "$dir/tmp/$h"
    echo "== $h: ${segundos}s"
    # Each harness works in a fresh directory of its own (its trace, data files and inputs).
    TMPDIR="$dir/tmp/$h" "$dir/tests/fuzz/$h" "${opcoes[@]}" "$dir/corpus/$h" \
        "$dir/sementes/$h" </dev/null >"$dir/logs/$h.log" 2>&1
    status=$?
    rm -rf "$dir/tmp/$h"
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/logs/$h.log")
    taxa=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/logs/$h.log")
    echo "   runs ${execs:-?}, ${taxa:-?} per second, status $status"
    if [ "$status" -ne 0 ]; then
        falhas+=("$h")
        tail -n 60 "$dir/logs/$h.log"
        # The harness works in a directory of its own, so the input must be named in full.
        echo "   reproduce: $dir/tests/fuzz/$h $dir/achados/$h-<kind>-<hash>"
    fi
done
if [ ${#falhas[@]} -ne 0 ]; then
    echo "fuzz findings in: ${falhas[*]} (inputs in $dir/achados)" >&2
    exit 1
fi
echo "fuzz: no findings"
