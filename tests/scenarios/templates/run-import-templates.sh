#!/bin/sh
# Runs import-templates.scenario: prepares the add-in folder with its template folder
# and three template workbooks on the desktop, written by make-sample-template.
#
#   run-import-templates.sh VORRA_RUN ADDIN_LIBRARY MAKE_SAMPLE_TEMPLATE
set -eu
run=$1
addin=$2
make_template=$3
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d "${TMPDIR:-/tmp}/vorra-templates-scenario.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/addin/套打模板" "$work/Desktop"
for name in 现金支票模板 转账支票模板 进账单模板; do
    "$make_template" "$work/Desktop/$name.xlsx" > /dev/null
done
"$run" --addin "$addin" --work "$work" --expect "$here/import-templates.out" \
    "$here/import-templates.scenario"
