#!/bin/sh
# Opens the example report in headless Chromium, checks that it loads without console errors and
# that every figure is in the rendered page, and saves a screenshot.
# Usage: check_report_in_browser.sh GENERATOR SCREENSHOT.png
set -eu
generator=$1
screenshot=$2
browser=/usr/bin/chromium
if [ ! -x "$browser" ]; then
  echo "SKIP: $browser is not installed" >&2
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" "$work/report.html"
url="file://$work/report.html"

run_browser() {
  profile=$(mktemp -d "$work/profile.XXXXXX")
  timeout 90 "$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --enable-logging=stderr --v=0 "$@"
}

run_browser --dump-dom "$url" >"$work/dom.html" 2>"$work/console.log"
failed=0
for id in section-0 section-1 section-2 results-table response-outdoor response-indoor \
  frequency-response response-outdoor-plot response-indoor-plot frequency-decrement-plot \
  frequency-lag-plot; do
  if ! grep -q "id=\"$id\"" "$work/dom.html"; then
    echo "FAIL: the rendered page has no element with id \"$id\"" >&2
    failed=1
  fi
done
# The page has no scripts, so any console message at all (an uncaught error, a resource that
# failed to load) is a fault; Chromium logs them as INFO:CONSOLE whatever their level.
if grep -E "Uncaught|:CONSOLE|Failed to load resource" "$work/console.log"; then
  echo "FAIL: the page logged console messages (above)" >&2
  failed=1
fi

rm -f "$screenshot"
run_browser --hide-scrollbars --window-size=1280,2400 --screenshot="$screenshot" "$url" \
  >/dev/null 2>"$work/screenshot.log"
if [ ! -s "$screenshot" ]; then
  cat "$work/screenshot.log" >&2
  echo "FAIL: no screenshot written to $screenshot" >&2
  failed=1
fi
[ "$failed" -eq 0 ] && echo "chromium: page loads, all figures present, screenshot $screenshot"
exit "$failed"
