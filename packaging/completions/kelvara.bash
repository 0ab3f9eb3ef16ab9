# bash completion for kelvara(1)
_kelvara() {
    local cur prev words cword
    _init_completion || return

    local command=""
    local i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
        find | replace | undo)
            command=${words[i]}
            break
            ;;
        esac
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--help -h --version' -- "$cur"))
        elif ((cword == 1)); then
            COMPREPLY=($(compgen -W 'find replace undo' -- "$cur"))
            _filedir
        else
            _filedir
        fi
        return
    fi

    if [[ $command == undo ]]; then
        [[ $cur == -* ]] && COMPREPLY=($(compgen -W '--list -l --help -h' -- "$cur"))
        return
    fi

    case $prev in
    --codepage)
        COMPREPLY=($(compgen -W 'gbk utf8' -- "$cur"))
        return
        ;;
    --format)
        COMPREPLY=($(compgen -W 'tree grep json' -- "$cur"))
        return
        ;;
    --color)
        COMPREPLY=($(compgen -W 'auto always never' -- "$cur"))
        return
        ;;
    -e | --ext | -g | --glob | --threads | -A | --after-context | -B | --before-context | -C | --context)
        return
        ;;
    esac

    if [[ $cur == -* ]]; then
        local options='--case -c --word -w --trim -s --ext -e --glob -g --ignore-files
            --codepage --format --null -0 --color --verbose -v --threads --help -h --version'
        if [[ $command == replace ]]; then
            options+=' --yes -y --dry-run -n'
        else
            options+=' --after-context -A --before-context -B --context -C'
        fi
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    _filedir
} &&
    complete -F _kelvara kelvara
