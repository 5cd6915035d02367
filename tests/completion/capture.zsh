#!/usr/bin/env zsh
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints, one a line, the candidates zsh's completion offers for a command
# line.  zsh completes only inside its line editor, so an interactive zsh runs
# on a pseudo-terminal, compadd is wrapped to write what it is given to a
# file, and Tab is pressed after the line.
# Usage: capture.zsh FPATH_DIR OUT_FILE "COMMAND LINE"
zmodload zsh/zpty || exit 3
fdir=$1 out=$2 line=$3
: >| $out
zpty z zsh -f -i
zpty -w z "PROMPT= ; RPROMPT= ; fpath=(${(q)fdir} \$fpath); autoload -Uz compinit; compinit -u -D"
zpty -w z "zstyle ':completion:*' insert-tab false"
zpty -w z "__out=${(q)out}"
zpty -w z 'compadd() {
  if [[ ${@[1,(i)(-|--)]} == *-(O|A|D)\ * ]]; then builtin compadd "$@"; return; fi
  local -a __hits; builtin compadd -A __hits "$@"; local r=$?
  (( $#__hits )) && builtin print -rl -- $__hits >>| $__out
  builtin compadd "$@"; return r }'
zpty -w z '_capture_end() { print -r -- "--END--" >>| $__out }; zle -N _capture_end; bindkey "^X" _capture_end'
zpty -w z 'bindkey "^I" complete-word'
zpty -n -w z "$line"$'\t'
zpty -n -w z $'\C-X'
for i in {1..200}; do
  grep -qx -- '--END--' $out 2>/dev/null && break
  zpty -r -t z _ 2>/dev/null
  sleep 0.05
done
zpty -d z
grep -vx -- '--END--' $out
