#!/bin/sh
# Runs a Qt Test program under Wine (the emulator command and the program are
# the arguments) and prints its log. Qt Test's report does not reach Wine's
# standard output, so it goes to a file first.
log=$(mktemp)
"$@" -o "Z:$log,txt"
status=$?
cat "$log"
rm -f "$log"
exit $status
