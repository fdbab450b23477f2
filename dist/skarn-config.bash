# bash completion for skarn-config

_skarn_config()
{
    local cur prev command i
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    command=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            -*) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done

    if [[ $cur == -* ]]; then
        local options="--help --version --verbose"
        case $command in
            '') options+=" --hidden" ;;
            status) options+=" --json" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    case $command in
        '')
            COMPREPLY=($(compgen -W "status profiles profile dpi-stage report-rate export-profile import-profile" -- "$cur"))
            ;;
        report-rate)
            [[ $prev == report-rate ]] && COMPREPLY=($(compgen -W "125 250 500 1000" -- "$cur"))
            ;;
        dpi-stage)
            [[ $prev == dpi-stage ]] && COMPREPLY=($(compgen -W "1 2 3 4 5 6 7 8" -- "$cur"))
            ;;
        export-profile)
            [[ $prev != export-profile ]] && COMPREPLY=($(compgen -f -X '!*.pf' -- "$cur") $(compgen -d -- "$cur"))
            ;;
        import-profile)
            [[ $prev == import-profile ]] && COMPREPLY=($(compgen -f -X '!*.pf' -- "$cur") $(compgen -d -- "$cur"))
            ;;
    esac
} &&
    complete -F _skarn_config skarn-config
