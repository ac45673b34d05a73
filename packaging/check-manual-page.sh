#!/usr/bin/env bash
# Checks the manual page: it formats without warnings, and it describes every command-line
# option the program reads, so that a new option cannot ship undocumented.
# Usage: check-manual-page.sh <source folder>     (exit 77: man is missing)
set -euo pipefail
src=${1:?source folder}
page=$src/packaging/ondrava.1
command -v man >/dev/null || { echo "SKIPPED: man is missing"; exit 77; }

failed=0
fail() { echo "FAIL: $*"; failed=1; }
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >/dev/null) || fail "man cannot format $page"
[ -z "$warnings" ] || fail "man warns: $warnings"

options=$(grep -oh 'GetParamValue(QStringLiteral("-[A-Za-z]*=")' "$src"/src/app/*.cpp | sed 's/.*"\(-[A-Za-z]*=\)".*/\1/' | sort -u)
[ "$(wc -l <<<"$options")" -ge 9 ] || fail "found only these options in the source: $options"
text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$page" 2>/dev/null)
for option in $options; do
  grep -qF -- "$option" <<<"$text" || fail "the manual page does not describe $option"
done
for word in conv_for_ ExeFile -convcomplete= PVOndravaConversionComplete /org/zelt/Ondrava org.zelt.Ondrava \
            ONDRAVA_SITE_URL Zelt/Ondrava.conf; do
  grep -qF -- "$word" <<<"$text" || fail "the manual page does not mention $word"
done
[ "$failed" = 0 ] && echo "the manual page formats cleanly and describes all $(wc -l <<<"$options") options"
exit $failed
