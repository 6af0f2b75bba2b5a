#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs lockmere-cli for help2man with the synopsis lines of its "Commands:" section unwrapped: help2man makes a
# paragraph of every line indented apart from its neighbours, so a synopsis wrapped for the terminal would come out
# as two paragraphs. The continuation lines are the ones indented by eight blanks.
#   help-for-man.sh PROGRAM ARGUMENTS...
program=$1
shift
"$program" "$@" | awk '
    /^Commands:/ { commands = 1 }
    commands && /^$/ { commands = 0 }
    commands && /^        [^ ]/ { sub(/^ +/, ""); held = held " " $0; next }
    { if (started) print held; held = $0; started = 1 }
    END { if (started) print held }'
