#!/bin/sh
# Runs import-and-print.scenario: writes the two source workbooks with python3 and its
# openpyxl and xlwt, runs the scenario with PDF printing into the work folder,
# and checks the ten PDF files, in the order printed, for their bill sheet and payee.
#
#   run-import-and-print.sh VORRA_RUN ADDIN_LIBRARY PYTHON
set -eu
run=$1
addin=$2
PYTHON=$3
here=$(cd "$(dirname "$0")" && pwd)
sources=$here/../../addin/batch/fixtures/batch_sources.py

work=$(mktemp -d "${TMPDIR:-/tmp}/vorra-batch-scenario.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$PYTHON" "$sources" bills "$work/清单.xlsx"
"$PYTHON" "$sources" bills "$work/清单.xls"

"$run" --addin "$addin" --work "$work" --print-dir "$work/prints" \
    --expect "$here/import-and-print.out" "$here/import-and-print.scenario"

# One PDF per bill, named <sheet>-<date>-<time>-<job>.pdf; the job number orders them.
set -- 转账支票:苏州恒达机械有限公司 转账支票:无锡华光电子厂 现金支票:杭州西湖茶叶公司 \
       转账支票:上海东方贸易公司 现金支票:常州天宁纺织厂
expected="$* $*"
count=$(find "$work/prints" -name '*.pdf' | wc -l)
if [ "$count" -ne 10 ]; then
    echo "expected 10 printed PDF files, found $count" >&2
    ls -l "$work/prints" >&2
    exit 1
fi
job=0
for bill in $expected; do
    job=$((job + 1))
    sheet=${bill%%:*}
    payee=${bill#*:}
    pdf=$(find "$work/prints" -name "*-$(printf '%03d' "$job").pdf")
    case $(basename "$pdf") in
        "$sheet"-*) ;;
        *) echo "job $job: expected a $sheet, printed $(basename "$pdf")" >&2; exit 1 ;;
    esac
    text=$(pdftotext -layout "$pdf" -)
    # The bill sheet prints only its fields onto the pre-printed form: the file name
    # says which sheet it was, the text holds the payee.
    for word in "$payee"; do
        case $text in
            *"$word"*) ;;
            *) echo "job $job ($(basename "$pdf")) lacks \"$word\":" >&2; echo "$text" >&2; exit 1 ;;
        esac
    done
done
echo "10 PDF files printed with their bill sheets and payees"
