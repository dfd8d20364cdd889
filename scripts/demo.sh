#!/usr/bin/env bash
# The demo: builds the Linux program, then, in build/demo, creates a User DSN from each script
# of the bundled examples/vendaro.ini without any window, and shows what unixODBC now holds.
# ODBCINI and ODBCSYSINI point into build/demo, so no odbc.ini outside it is touched.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ -f scripts/setup-deps.sh ]; then
    bash scripts/setup-deps.sh --demo
else
    echo "scripts/setup-deps.sh not found: using the packages already installed" >&2
fi

cmake --preset linux
cmake --build --preset linux --target vendaro

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/system"
cp build/linux/vendaro examples/vendaro.ini "$demo/"
export ODBCINI="$demo/odbc.ini"
export ODBCSYSINI="$demo/system"
cd "$demo"

echo "== Creating a User DSN from each script (vendaro NAME -ue)"
status=0
while IFS= read -r name; do
    if ./vendaro "$name" -ue; then
        echo "$name: created"
    else
        code=$?
        echo "$name: exit status $code"
        status=1
    fi
done < <(sed -n 's/\r$//; s/^\[\(.*\)\]$/\1/p' vendaro.ini)

echo
echo "== odbcinst -q -s"
odbcinst -q -s
echo
echo "== $ODBCINI"
cat "$ODBCINI"
echo
echo "== The main window as text (vendaro with no command line)"
./vendaro
exit "$status"
