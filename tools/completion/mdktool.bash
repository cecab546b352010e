# Bash completion for mdktool: subcommands, their options and option values,
# and card files (*.mdk) or folders where a file is expected. Needs nothing
# beyond bash itself.

_mdktool()
{
    local cur prev sub
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    sub=${COMP_WORDS[1]}

    local subcommands="info tree dump resave add generate find dedupe shuffle flip move convert merge versions restore import export stats review print"
    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "$subcommands" -- "$cur"))
        return
    fi

    # Values of the options that take one.
    case $prev in
        --side) COMPREPLY=($(compgen -W "1 2 both" -- "$cur")); return ;;
        --order) COMPREPLY=($(compgen -W "reverse pattern random alphabetize" -- "$cur")); return ;;
        --format)
            case $sub in
                import) COMPREPLY=($(compgen -W "auto csv text kvtml apkg" -- "$cur")) ;;
                export) COMPREPLY=($(compgen -W "csv text kvtml apkg" -- "$cur")) ;;
                *) COMPREPLY=($(compgen -W "card list" -- "$cur")) ;;
            esac
            return ;;
        --encoding) COMPREPLY=($(compgen -W "auto utf-8 utf-16 windows-1252" -- "$cur")); return ;;
        --header) COMPREPLY=($(compgen -W "auto yes no" -- "$cur")); return ;;
        --duplicates) COMPREPLY=($(compgen -W "add skip update" -- "$cur")); return ;;
        --columns) COMPREPLY=(); return ;;
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
        import) options="--format --encoding --header --columns --category --duplicates --into --force" ;;
        export) options="--format --category --subcategories" ;;
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
    # Import reads and export writes other programs' files.
    case $sub in import | export) pattern='' ;; esac
    [ "$prev" = --into ] && pattern='!*.[mM][dD][kK]'
    if [ -n "$pattern" ]; then
        COMPREPLY=($(compgen -f -X "$pattern" -- "$cur") $(compgen -d -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
    compopt -o filenames 2>/dev/null
}
complete -F _mdktool mdktool
