#!/bin/sh
# Writes the example report and lets tidy check it: no errors allowed (warnings are reported).
# Usage: check_report_html.sh GENERATOR
set -eu
generator=$1
if ! command -v tidy >/dev/null 2>&1; then
  echo "SKIP: tidy is not installed" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" "$work/report.html"
status=0
tidy -errors -quiet "$work/report.html" >"$work/tidy.log" 2>&1 || status=$?
cat "$work/tidy.log"
# tidy exits 1 for warnings only and 2 for errors.
if [ "$status" -ge 2 ] || grep -q "Error:" "$work/tidy.log"; then
  echo "FAIL: tidy reports errors" >&2
  exit 1
fi
echo "tidy: no errors"
