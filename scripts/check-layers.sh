#!/bin/sh
# Fails when an include crosses the layers the wrong way: the core knows neither Qt, the platform nor the front
# ends, and only the session knows the session; the platform knows no front end; the two front ends stay apart.
# Usage: check-layers.sh SOURCE_FOLDER (the src/ folder of the tree).
set -u
src=${1:?usage: check-layers.sh SOURCE_FOLDER}
status=0

# forbid FOLDER PATTERN WHY [EXCLUDED_FOLDER]
forbid()
{
    found=$(grep -rnE --include='*.h' --include='*.cpp' "^#include [<\"]($2)" "$src/$1" |
        grep -v "^$src/${4:-//none//}/" || true)
    if [ -n "$found" ]; then
        echo "$3:"
        echo "$found"
        status=1
    fi
}

forbid core 'Q|gui/|cli/|platform/' "the core includes no Qt, front end or platform header"
forbid core 'core/session/' "only the session includes the session" core/session
forbid core/database 'core/importexport/' "the database knows no exchange format; import and export build on it"
forbid core/session 'core/passgen/' "the session needs no password generator"
forbid platform 'Q|gui/|cli/' "the platform includes no Qt or front end header"
forbid cli 'Q|gui/' "the command line includes no Qt or GUI header"
forbid gui 'cli/' "the GUI includes no command-line header"
exit $status
