#!/usr/bin/env bash
# The shell completions of kestcmd. bash: completed as bash does it (COMP_WORDS, COMP_CWORD and
# the completion function), the subcommands and options being those of --help, job files, and
# the addresses of the job named on the line. zsh and fish, where installed: an address (zsh in
# a pseudo-terminal, fish through `complete -C`); both scripts name every subcommand and option
# of --help.
#   completion_test.sh KESTCMD COMPLETIONS_DIR EXAMPLES_DIR
set -uo pipefail
kestcmd=$(realpath "$1") completions=$(realpath "$2") examples=$(realpath "$3")
failures=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$examples"/*.par "$work"
mkdir "$work/jobs"
cd "$work" || exit 1

# shellcheck source=/dev/null
source "$completions/kestcmd.bash"

# Prints, one a line and sorted, what bash offers for the last of the given words.
offered() {
    COMP_WORDS=("$kestcmd" "$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _kestcmd "$kestcmd" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | sort
}

expect() { # expect "EXPECTED (joined by blanks)" WORD...
    local wanted=$1 got
    shift
    got=$(offered "$@" | tr '\n' ' ' | sed 's/ $//')
    if [ "$got" != "$wanted" ]; then
        echo "FAIL: kestcmd $* offers '$got', expected '$wanted'"
        failures=$((failures + 1))
    fi
}

# The subcommands and the options of a subcommand, as --help lists them.
help_subcommands() { "$kestcmd" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 && NF {print $1}'; }
help_options() {
    "$kestcmd" "$1" --help | sed -n '/^Options:/,$p' | grep -oE '^  (-[a-z],)?--[a-z-]+' |
        tr ',' '\n' | tr -d ' '
}

subcommands=$(help_subcommands | sort | tr '\n' ' ' | sed 's/ $//')
expect "--help --version $subcommands" ""
expect "check" ch
expect "" chek
for subcommand in $subcommands; do
    expect "$(help_options "$subcommand" | sort | tr '\n' ' ' | sed 's/ $//')" "$subcommand" -
done

# Files for jobs and outputs; nothing where a value or a thread count goes.
expect "topology.par" check top
expect "jobs" fmt operators.par job
expect "topology.par" show -o to
expect "" check --threads 2
expect "" set topology.par 'STOP[0].ITER_MAX' 8

# Addresses of the job on the line: commands by name and by type, then their keys.
expect "volume. volume_limit." get topology.par volume
expect "CONSTRAINT[0]." get topology.par CONSTRAINT
expect "volume_limit.DRESP volume_limit.ID_NAME volume_limit.MAGNITUDE volume_limit.TYPE volume_limit.VALUE" \
    set --threads 2 topology.par volume_limit.
expect "STOP[0].ITER_MAX" unset -o out.par topology.par 'stop[0].it'
expect "" get missing.par volume

# Every subcommand and long option of --help in the zsh and fish scripts.
for script in _kestcmd kestcmd.fish; do
    for word in $subcommands $(for s in $subcommands; do help_options "$s"; done | grep -- -- | sort -u); do
        grep -q -- "${word#--}" "$completions/$script" ||
            { echo "FAIL: $script does not name $word"; failures=$((failures + 1)); }
    done
done
if command -v zsh >/dev/null; then
    # An interactive zsh in a pseudo-terminal lists the choices for a line (Tab bound to
    # list-choices); its screen is read until the address shows, for up to 30 s.
    got=$(KESTCMD_DIR=$(dirname "$kestcmd") COMPLETIONS=$completions zsh -f -c '
        zmodload zsh/zpty
        zpty z zsh -f -i
        zpty -w z "fpath=($COMPLETIONS \$fpath); path=($KESTCMD_DIR \$path)"
        zpty -w z "autoload -Uz compinit; compinit -u -D; bindkey \"^I\" list-choices"
        zpty -n -w z "kestcmd set topology.par volume_limit.M"$'"'"'\t'"'"'
        screen=
        for i in {1..300}; do
            zpty -r -t z chunk && screen+=$chunk || sleep 0.1
            [[ $screen == *volume_limit.MAGNITUDE* ]] && break
        done
        zpty -d z
        print -r -- ${(M)screen:#*volume_limit.MAGNITUDE*}')
    [ -n "$got" ] || { echo "FAIL: zsh does not offer volume_limit.MAGNITUDE"; failures=$((failures + 1)); }
fi
if command -v fish >/dev/null; then
    got=$(fish --no-config -c "source $completions/kestcmd.fish
        function kestcmd; $kestcmd \$argv; end
        complete -C'kestcmd get topology.par volume_limit.M'" | cut -f1 | tr '\n' ' ')
    [ "$got" = "volume_limit.MAGNITUDE " ] ||
        { echo "FAIL: fish offers '$got' for an address"; failures=$((failures + 1)); }
fi

((failures == 0)) && echo "completions: all cases pass"
exit $((failures > 0))
