#!/bin/sh
# Runs a scenario with every print written to a PDF file and checks the files in the
# order printed. Each CHECK is SHEET[:TEXT...]: the job's file is a print of SHEET and
# its text (pdftotext) holds every TEXT; a TEXT written !TEXT must not be there. There
# must be one file per CHECK.
#
#   run-printed.sh VORRA_RUN ADDIN_LIBRARY SCENARIO CHECK...
set -eu
run=$1
addin=$2
scenario=$3
shift 3

work=$(mktemp -d "${TMPDIR:-/tmp}/vorra-printed.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$run" --addin "$addin" --work "$work" --print-dir "$work/prints" \
    --expect "${scenario%.scenario}.out" "$scenario"

count=$(find "$work/prints" -name '*.pdf' 2>/dev/null | wc -l)
if [ "$count" -ne $# ]; then
    echo "expected $# printed PDF files, found $count" >&2
    ls -l "$work/prints" >&2 || true
    exit 1
fi
job=0
for check in "$@"; do
    job=$((job + 1))
    sheet=${check%%:*}
    pdf=$(find "$work/prints" -name "*-$(printf '%03d' "$job").pdf")
    case $(basename "$pdf") in
        "$sheet"-*) ;;
        *) echo "job $job: expected a $sheet, printed $(basename "$pdf")" >&2; exit 1 ;;
    esac
    text=$(pdftotext -layout "$pdf" -)
    rest=${check#"$sheet"}
    while [ -n "$rest" ]; do
        rest=${rest#:}
        word=${rest%%:*}
        rest=${rest#"$word"}
        case $word in
            !*) case $text in *"${word#!}"*)
                    echo "job $job ($(basename "$pdf")) shows \"${word#!}\":" >&2; echo "$text" >&2; exit 1 ;;
                esac ;;
            *) case $text in *"$word"*) ;;
                   *) echo "job $job ($(basename "$pdf")) lacks \"$word\":" >&2; echo "$text" >&2; exit 1 ;;
               esac ;;
        esac
    done
done
echo "$# PDF files printed as expected"
