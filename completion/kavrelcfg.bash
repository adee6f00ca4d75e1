# bash completion for kavrelcfg. kavrelcfg itself names the candidates (kavrelcfg --complete
# WORD... TYPED, from the tables it parses its command line with); this only calls it. Its first
# line says how to complete: "words", "words-nospace" (a setting name and its '='), or "files"
# with the extension wanted; the candidates follow, one a line.

_kavrelcfg() {
    local cur prev words cword split
    _init_completion -s || return

    # The program being completed answers, so a build tree's kavrelcfg completes its own commands.
    local program=${words[0]}
    [[ $program == */* && -x $program ]] || program=kavrelcfg
    local before=("${words[@]:1:cword-1}")
    # --option=value was split: the option is the word before the value.
    [[ $split == true ]] && before+=("$prev")
    local reply
    mapfile -t reply < <("$program" --complete "${before[@]}" "$cur" 2>/dev/null)
    case ${reply[0]-} in
    files*)
        _filedir ${reply[0]#files}
        ;;
    words-nospace)
        COMPREPLY=("${reply[@]:1}")
        compopt -o nospace 2>/dev/null
        ;;
    *)
        COMPREPLY=("${reply[@]:1}")
        ;;
    esac
    # Readline replaces only what follows the last '=' of NAME=VALUE.
    if [[ $cur == *=* && $COMP_WORDBREAKS == *=* ]]; then
        local through=${cur%"${cur##*=}"}
        COMPREPLY=("${COMPREPLY[@]#"$through"}")
    fi
} &&
    complete -F _kavrelcfg kavrelcfg
