#!/bin/bash
# check_completion.sh - the bash completion against the program it completes:
# it parses, offers every command `wendol --help` lists and every option
# `wendol help COMMAND` lists, and offers layout images and folders for FILE.
#
#   bash check_completion.sh WENDOL COMPLETION
set -u
wendol=$1
completion=$2
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
pass() { echo "ok   $*"; }

if bash -n "$completion"; then
    pass "$completion parses"
else
    fail "$completion does not parse"
    exit 1
fi
# shellcheck source=/dev/null
. "$completion"

# What the completion offers for the words given, the last being completed.
offered() {
    COMP_WORDS=(wendol "$@")
    COMP_CWORD=$#
    _wendol
    printf '%s\n' "${COMPREPLY[@]}" | sort
}

commands=$("$wendol" --help | sed -n '/^commands:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p')
[ -n "$commands" ] || fail "wendol --help lists no commands"
expected=$(printf '%s\n' $commands help --help --version | sort)
if [ "$(offered '')" = "$expected" ]; then
    pass "the commands: $(echo $commands)"
else
    fail "the commands offered: $(echo $(offered '')); wendol --help lists: $(echo $expected)"
fi
if [ "$(offered help '')" = "$(printf '%s\n' $commands | sort)" ]; then
    pass "help COMMAND offers every command"
else
    fail "help COMMAND offers $(echo $(offered help ''))"
fi

for command in $commands; do
    options=$("$wendol" help "$command" | sed -n '/^options:/,/^$/s/^  \(-[a-z-]*, \)\{0,1\}\(--[a-z-]*\).*/\2/p')
    have=$(offered "$command" --)
    for option in $options; do
        if ! printf '%s\n' "$have" | grep -qx -- "$option"; then
            fail "wendol $command: $option is not offered (offered: $(echo $have))"
            continue 2
        fi
    done
    pass "wendol $command offers $(echo $options)"
done

# FILE: images whatever the case of their suffix, and folders; nothing else.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/module"
touch "$scratch/Wendol.dll" "$scratch/OTHER.DLL" "$scratch/notes.txt"
got=$(cd "$scratch" && offered verify '')
if [ "$got" = "$(printf '%s\n' OTHER.DLL Wendol.dll module | sort)" ]; then
    pass "FILE offers images and folders"
else
    fail "FILE offers: $(echo $got)"
fi
got=$(cd "$scratch" && offered xkb Wendol.dll --out '')
if [ "$got" = module ]; then
    pass "--out offers folders"
else
    fail "--out offers: $(echo $got)"
fi

[ $failures -eq 0 ] || { echo "completion: $failures checks failed"; exit 1; }
echo "completion: every check passed"
