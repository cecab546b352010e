# Bash completion for mdktool: subcommands, their options and option values,
# and card files (*.mdk) or folders where a file is expected. Needs nothing
# beyond bash itself.

_mdktool()
{
    local cur prev sub
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    sub=${COMP_WORDS[1]}

    local subcommands="info tree dump resave add generate find dedupe shuffle flip move convert merge versions restore stats review print"
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$subcommands" -- "$cur"))
        return
    fi

    # Values of the options that take one.
    case $prev in
        --side) COMPREPLY=($(compgen -W "1 2 both" -- "$cur")); return ;;
        --order) COMPREPLY=($(compgen -W "reverse pattern random alphabetize" -- "$cur")); return ;;
        --format) COMPREPLY=($(compgen -W "card list" -- "$cur")); return ;;
        --cards) COMPREPLY=($(compgen -W "all category subs" -- "$cur")); return ;;
        --paper) COMPREPLY=($(compgen -W "letter a4" -- "$cur")); return ;;
        --category | --to | --card | --from | --seed | --locale | --answers | --now) COMPREPLY=(); return ;;
    esac

    local options=""
    case $sub in
        add) options="--category --force" ;;
        generate) options="--utf8 --force" ;;
        find) options="--case --whole --from --all --category --subcategories" ;;
        dedupe) options="--side --category --force" ;;
        shuffle) options="--order --seed --locale --category --force" ;;
        flip) options="--category --force" ;;
        move) options="--to --card --all --category --force" ;;
        resave | convert | merge | restore) options="--force" ;;
        print) options="--format --cards --category --paper" ;;
        stats) options="--json --now" ;;
        review) options="--answers --now" ;;
    esac
    if [ "$sub" = convert ] && [ "$COMP_CWORD" -eq 2 ]; then
        COMPREPLY=($(compgen -W "1.00 2.01 3.01 later" -- "$cur"))
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    # Card files and the folders that may hold them (print writes a PDF).
    local IFS=$'\n'
    local pattern='!*.[mM][dD][kK]'
    [ "$sub" = print ] && pattern='!*.@([mM][dD][kK]|pdf)'
    COMPREPLY=($(compgen -f -X "$pattern" -- "$cur") $(compgen -d -- "$cur"))
    compopt -o filenames 2>/dev/null
}
complete -F _mdktool mdktool
