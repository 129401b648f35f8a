#!/bin/sh
# Runs a Qt Test program under Wine (the emulator command and the program are
# the arguments) and prints its log. Qt Test's report does not reach Wine's
# standard output, so it goes to a file first. Wine's own output goes to a file
# too: a helper process that Wine starts with the first window (and keeps) would
# otherwise hold ctest's pipe open after the test has ended.
log=$(mktemp)
"$@" -o "Z:$log,txt" > "$log.wine" 2>&1 < /dev/null
status=$?
cat "$log" "$log.wine"
rm -f "$log" "$log.wine"
exit $status
