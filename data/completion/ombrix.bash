# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for ombrix
# The commands, their options and values, and ".obp" files where a
# parameter file is wanted.

# Sizes of the connected screens in device pixels: from the X server where
# one is there, else from the kernel's display connectors (any session).
_ombrix_screen_sizes()
{
    if [[ -n ${DISPLAY-} ]] && type -P xrandr >/dev/null; then
        xrandr --current 2>/dev/null |
            sed -n 's/^[^ ]* connected \(primary \)\{0,1\}\([0-9]*x[0-9]*\)+.*/\2/p'
    fi
    local status
    for status in /sys/class/drm/*/status; do
        [[ -r $status && $(<"$status") == connected ]] || continue
        head -n 1 "${status%/status}/modes" 2>/dev/null
    done
}

# Adds each line of its input as one candidate, so that names with blanks
# stay whole.
_ombrix_add()
{
    local line
    while IFS= read -r line; do
        COMPREPLY+=("$line")
    done
}

_ombrix_files()
{
    local pattern
    compopt -o filenames 2>/dev/null
    for pattern in "$@"; do
        _ombrix_add < <(compgen -f -X "!*.$pattern" -- "$cur")
    done
    _ombrix_add < <(compgen -d -- "$cur")
}

_ombrix()
{
    local cur prev words cword
    if declare -F _init_completion >/dev/null; then
        _init_completion -n = || return
    else
        cur=${COMP_WORDS[COMP_CWORD]}
        prev=${COMP_WORDS[COMP_CWORD - 1]}
        words=("${COMP_WORDS[@]}")
        cword=$COMP_CWORD
    fi

    local command="" i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            render | params | wallpaper)
                command=${words[i]}
                break
                ;;
        esac
    done

    case $prev in
        --preset)
            COMPREPLY=($(compgen -W "0 1 2 3" -- "$cur"))
            return
            ;;
        --mode)
            COMPREPLY=($(compgen -W "tile center stretch" -- "$cur"))
            return
            ;;
        --size)
            COMPREPLY=($(compgen -W "$(_ombrix_screen_sizes | sort -u)" -- "$cur"))
            return
            ;;
        --quality)
            COMPREPLY=($(compgen -W "100 95 90 85 80 75" -- "$cur"))
            return
            ;;
        --out)
            COMPREPLY=()
            if [[ $command == params ]]; then
                _ombrix_files '[oO][bB][pP]'
            else
                _ombrix_files '[pP][nN][gG]' '[jJ][pP][gG]' '[jJ][pP][eE][gG]' '[bB][mM][pP]'
            fi
            return
            ;;
    esac

    local options
    case $command in
        render) options="--preset --size --out --quality --gradient-text --help" ;;
        params) options="--preset --out --help" ;;
        wallpaper) options="--preset --size --mode --list-monitors --help" ;;
        *) options="--help --version" ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    COMPREPLY=()
    [[ -z $command ]] && _ombrix_add < <(compgen -W "render params wallpaper" -- "$cur")
    _ombrix_files '[oO][bB][pP]'
}

complete -F _ombrix ombrix
