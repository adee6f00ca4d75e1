# bash completion for kavrelcfg. The commands, their options and their fixed choices are read from
# kavrelcfg's own help, so they follow the program; the setting names are listed here, and
# check-completion holds them to what kavrelcfg prints.

_kavrelcfg_settings="callsign path statusText calibration autoTxDelayMs sendEvery autoTxRateSec quietTimeMs
frequencyMHz txTwist invertCd sendWithWeather allowTtlSerial peetMode wx200Mode"
_kavrelcfg_switches=" txTwist invertCd sendWithWeather allowTtlSerial peetMode wx200Mode "

_kavrelcfg() {
    local cur prev words cword
    _init_completion -s || return

    # The program being completed answers, so a build tree's kavrelcfg completes its own commands.
    local program=${words[0]}
    [[ $program == */* && -x $program ]] || program=kavrelcfg

    if ((cword == 1)); then
        local commands
        commands=$("$program" --help 2>/dev/null | awk '/^Commands:$/ { on = 1; next } on && /^  [a-z]/ { print $1; next } { on = 0 }')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi
    local command=${words[1]} help
    help=$("$program" "$command" --help 2>/dev/null)

    case $prev in
    -p | --port)
        COMPREPLY=($(compgen -W "$(compgen -G '/dev/ttyUSB*'; compgen -G '/dev/ttyACM*'; compgen -G '/dev/ttyS*';
            compgen -G '/dev/cu.*')" -- "$cur"))
        # A pseudo-terminal or a link to a device, named by path.
        ((${#COMPREPLY[@]})) || _filedir
        return
        ;;
    --from | -o | --output | --backup)
        _filedir kvr
        return
        ;;
    --settings)
        _filedir json
        return
        ;;
    --model)
        COMPREPLY=($(compgen -W "0 1 2 3 4" -- "$cur"))
        return
        ;;
    --set)
        if [[ $cur == *=* && $_kavrelcfg_switches == *" ${cur%%=*} "* ]]; then
            COMPREPLY=($(compgen -P "${cur%%=*}=" -W "true false" -- "${cur#*=}"))
        else
            COMPREPLY=($(compgen -S = -W "$_kavrelcfg_settings" -- "$cur"))
            compopt -o nospace 2>/dev/null
        fi
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(grep -oE -- '(^|[][ ,])--?[A-Za-z][A-Za-z0-9-]*' <<<"$help" | tr -d '[], ' | sort -u) --help" -- "$cur"))
        return
    fi
    # The usage line's fixed choices (1200|2200|both|stop), or else the file it names.
    local usage choices
    usage=$(sed -n 's/^[Uu]sage: //p' <<<"$help")
    choices=$(tr ' ' '\n' <<<"$usage" | grep -E '^[A-Za-z0-9]+(\|[A-Za-z0-9]+)+$' | tr '|' ' ')
    if [[ -n $choices ]]; then
        COMPREPLY=($(compgen -W "$choices" -- "$cur"))
    elif [[ $usage == *" FILE"* || $command == diff ]]; then
        _filedir kvr
    fi
} &&
    complete -F _kavrelcfg kavrelcfg
