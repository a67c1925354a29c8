#!/usr/bin/env bash
# The test run's share of fuzzing: both targets replayed over their seed corpora and a
# fixed set of mutations of each seed (fuzz/replay.cpp).
# Usage: fuzz/replay.sh PYTHON WORKBOOK-REPLAY XLS-REPLAY [MUTATIONS]
set -euo pipefail
HERE="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$HERE/seeds.sh" "$1" "$work/xlsx" "$work/xls"
"$2" "${4:-200}" "$work"/xlsx/*
"$3" "${4:-200}" "$work"/xls/*
