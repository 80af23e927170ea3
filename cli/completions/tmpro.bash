# bash completion for tmpro: commands, each command's options (from tmpro help), files.
_tmpro() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    local i command=""
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --yes) ;;
            *) command=${COMP_WORDS[i]}; break ;;
        esac
    done
    if [[ -z $command ]]; then
        local commands
        commands=$(tmpro --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')
        COMPREPLY=($(compgen -W "$commands help --yes --help --version" -- "$cur"))
        return
    fi
    if [[ $command == help ]]; then
        COMPREPLY=($(compgen -W "$(tmpro --help 2>/dev/null | sed -n '/^Commands:/,/^$/s/^  \([a-z-]*\).*/\1/p')" -- "$cur"))
        return
    fi
    case ${COMP_WORDS[COMP_CWORD - 1]} in
        --format) COMPREPLY=($(compgen -W "text csv json" -- "$cur")); return ;;
        --characters) COMPREPLY=($(compgen -W "lower upper digits symbols lower,upper,digits lower,upper,digits,symbols" -- "$cur")); return ;;
        --kind) COMPREPLY=($(compgen -W "text capital words plain number web email phone link password date time datetime yesno list checkbox" -- "$cur")); return ;;
        --out | --password-file | --forms-folder) COMPREPLY=($(compgen -f -- "$cur")); compopt -o filenames 2>/dev/null; return ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(tmpro help "$command" 2>/dev/null | grep -o -- '--[a-z-]*' | sort -u) --yes" -- "$cur"))
        return
    fi
    COMPREPLY=($(compgen -f -- "$cur"))
    compopt -o filenames 2>/dev/null
}
complete -F _tmpro tmpro
