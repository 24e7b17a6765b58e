#!/bin/sh
# Formats each manual page given and fails on any warning from groff.
# Usage: paginas_de_manual.sh PAGE...
set -eu
status=0
for pagina in "$@"; do
    avisos=$({ preconv -e UTF-8 "$pagina" | groff -man -Tutf8 -ww -z; } 2>&1)
    if [ -n "$avisos" ]; then
        printf '%s:\n%s\n' "$pagina" "$avisos" >&2
        status=1
    fi
done
exit $status
