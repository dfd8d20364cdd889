#!/bin/bash
# The include rules of the layout, over the product's code (tests left out). Prints each
# include that breaks one and exits 1 when there is any.
#   app -> mainwin, editors, ctl -> forms -> dsn -> store, shell -> platform
# An include may name its own folder or a folder of a lower level, never one of its own level
# or above; nothing outside app/ includes a header of app/. Only win32/ folders include Windows headers;
# only posix/ folders include POSIX or unixODBC headers. platform/odbc/ holds the code on the
# ODBC driver manager's API, which is the same on both platforms: it includes <sql.h> (and on
# Windows <windows.h> before it), and nothing else of either.
set -u
cd "$(dirname "$0")/.." || exit 1
declare -A level=([app]=5 [mainwin]=4 [editors]=4 [ctl]=4 [forms]=3 [dsn]=2 [store]=1 [shell]=1 [platform]=0)
product=$(git ls-files '*.h' '*.cpp' '*.rc' | grep -v '/tests/' | grep -vE '^(cmake|testing|fuzz|bench)/')
bad=0
for f in $product; do
    from=${f%%/*}
    [ -n "${level[$from]:-}" ] || continue # scripts/, docs/: tools, not a layer
    while IFS= read -r line; do
        inc=${line#*\"}
        inc=${inc%%\"*}
        to=${inc%%/*}
        [ "$to" = "$from" ] && continue
        [ -n "${level[$to]:-}" ] || continue
        if [ "${level[$to]}" -ge "${level[$from]}" ]; then
            echo "upward or sideways include: $f: $line"
            bad=1
        fi
    done < <(grep '^#include "' "$f")
done
windows='#include <(windows|winreg|commctrl|commdlg|shlobj|shellapi|objbase|io)\.h>'
posix='#include <(unistd|fcntl|dirent|signal|strings|poll|pwd|termios|spawn|dlfcn|pthread|sys/[a-z_]+|odbcinst|odbcinstext|sql|sqlext)\.h>'
odbc_api='#include <(windows|sql|sqlext)\.h>'
odbc_folder=$(grep '^platform/odbc/' <<<"$product" || true)
# The lists below hold one file name per word.
# shellcheck disable=SC2086
if [ -n "$odbc_folder" ] && grep -nE '#include <' $odbc_folder | grep -vE "$odbc_api" |
    grep -E "$windows|$posix"; then bad=1; fi
# shellcheck disable=SC2046
if grep -nE "$windows" $(grep -v -e '/win32/' -e '^platform/odbc/' <<<"$product"); then bad=1; fi
# shellcheck disable=SC2046
if grep -nE "$posix" $(grep -v -e '/posix/' -e '/win32/' -e '^platform/odbc/' <<<"$product"); then bad=1; fi
# shellcheck disable=SC2046
if grep -n '#include "app/' $(git ls-files '*.h' '*.cpp' | grep -v '^app/'); then bad=1; fi
[ "$bad" = 0 ] && echo "layers: every include points down"
exit "$bad"
