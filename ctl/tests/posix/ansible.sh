#!/bin/bash
# The Linux playbook of examples/ansible with Debian's ansible-core against this machine
# (-c local), over a scratch odbc.ini: --check reports changed and writes nothing, the first
# run reports changed, the second nothing changed.
#
#   ansible.sh VENDAROCTL WORK_DIR
#
# Exit status: 0 passed, 1 failed, 77 ansible-playbook is missing (not run; a failure when
# VENDARO_REQUIRE_TOOLS=1).
set -u -o pipefail
ctl_exe=$1 work=$2 failed=0
root=$(cd "$(dirname "$0")/../../.." && pwd)
fail() { failed=1 && echo "FAILED: $*"; }
command -v ansible-playbook >/dev/null || { echo "ansible: ansible-core missing: NOT RUN" &&
    exit $((${VENDARO_REQUIRE_TOOLS:-0} == 1 ? 1 : 77)); }

rm -rf "$work" && mkdir -p "$work/etc"
export HOME=$work ODBCINI=$work/odbc.ini ODBCSYSINI=$work/etc ANSIBLE_NOCOLOR=1 \
    ANSIBLE_LOCAL_TEMP=$work/.ansible/tmp ANSIBLE_PYTHON_INTERPRETER=/usr/bin/python3
cp "$ctl_exe" "$work/vendaroctl"
cp "$root/examples/vendaro.ini" "$work/vendaro.ini"

# Runs the playbook (with any extra options); prints its recap line for localhost.
play() {
    ansible-playbook -i localhost, -c local "$root/examples/ansible/vendaro-dsns.yml" \
        -e "vendaroctl=$work/vendaroctl vendaro_library=$work/vendaro.ini" "$@" >"$work/play.log" 2>&1
    local status=$?
    [ "$status" = 0 ] || fail "ansible-playbook $* ended with $status: $(cat "$work/play.log")"
    grep -o 'changed=[0-9]*' "$work/play.log" | tail -1
}

[ "$(play --check)" = changed=1 ] || fail "--check did not report changed: $(cat "$work/play.log")"
[ -e "$ODBCINI" ] && fail "--check wrote $ODBCINI"
[ "$(play)" = changed=1 ] || fail "the first run did not report changed: $(cat "$work/play.log")"
grep -q '^\[Orders\]' "$ODBCINI" || fail "the first run did not create Orders"
cp "$ODBCINI" "$work/before"
[ "$(play)" = changed=0 ] || fail "the second run reported a change: $(cat "$work/play.log")"
cmp -s "$work/before" "$ODBCINI" || fail "the second run changed $ODBCINI"
exit $failed
