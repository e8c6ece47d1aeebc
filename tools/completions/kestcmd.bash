# bash completion of kestcmd: subcommands, options, files, and for get, set and unset the
# addresses of the job named on the line (which kestcmd complete-address lists).

_kestcmd() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    if ((COMP_CWORD == 1)); then
        mapfile -t COMPREPLY < <(compgen -W "complete check schema show graph fmt get set unset
            lsp --help --version" -- "$cur")
        return
    fi
    local subcommand=${COMP_WORDS[1]} options
    case $subcommand in
        complete) options="-o --output --changes --threads -h --help" ;;
        check)
            options="--schema --ignore --severity --format --json --color --threads -h --help"
            ;;
        schema) options="--schema --format -h --help" ;;
        show) options="--json -o --output --threads -h --help" ;;
        graph) options="-o --output --threads -h --help" ;;
        fmt) options="--check -i --in-place -h --help" ;;
        get) options="--threads -h --help" ;;
        set | unset) options="-o --output --threads -h --help" ;;
        lsp) options="-h --help" ;;
        *) return ;;
    esac
    case $prev in
        -o | --output | --schema)
            mapfile -t COMPREPLY < <(compgen -f -- "$cur")
            return
            ;;
        --severity)
            mapfile -t COMPREPLY < <(compgen -W "error warning information" -- "$cur")
            return
            ;;
        --format)
            local formats="text json sarif"
            [[ $subcommand == schema ]] && formats="json markdown"
            mapfile -t COMPREPLY < <(compgen -W "$formats" -- "$cur")
            return
            ;;
        --color)
            mapfile -t COMPREPLY < <(compgen -W "auto always never" -- "$cur")
            return
            ;;
        --threads | --ignore) return ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi
    # The arguments before this one, options and their values left out.
    local i arguments=()
    for ((i = 2; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            -o | --output | --threads | --schema | --ignore | --severity | --format | --color)
                ((i++))
                ;;
            -*) ;;
            *) arguments+=("${COMP_WORDS[i]}") ;;
        esac
    done
    case $subcommand in
        lsp) return ;;
        get | set | unset)
            if ((${#arguments[@]} == 1)); then
                mapfile -t COMPREPLY < <("$1" complete-address "${arguments[0]}" "$cur" 2>/dev/null)
                # A command and its dot is not a whole address yet: no blank after it.
                local address
                for address in "${COMPREPLY[@]}"; do
                    [[ $address == *. ]] || return
                done
                compopt -o nospace 2>/dev/null
                return
            fi
            ((${#arguments[@]} == 0)) || return
            ;;
    esac
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}

complete -o filenames -F _kestcmd kestcmd
