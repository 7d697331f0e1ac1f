#!/bin/sh
# quiet.sh [--stderr] COMMAND...: runs COMMAND and fails when it fails or says anything
# (on standard error alone with --stderr, for commands whose output is the point).
if [ "$1" = --stderr ]; then
    shift
    said=$("$@" 2>&1 >/dev/null)
else
    said=$("$@" 2>&1)
fi
status=$?
[ -n "$said" ] && printf '%s\n' "$said"
[ "$status" -eq 0 ] && [ -z "$said" ]
