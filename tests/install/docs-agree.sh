#!/usr/bin/env bash
# Every long option and every list of values the programs' --help shows
# (linkwise-cli's commands' own help too) appears in the manual page and in
# the bash completion the build wrote. Usage: docs-agree.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
docs=$build/program-docs
failed=0
fail() { echo "docs: $*" >&2; failed=1; }

# The option lines of a help text: "  -o, --output FILE|DIR|-   text".
option_lines() { grep -E '^ +(-[A-Za-z], )?--[a-z]' || true; }

check() {  # check PROGRAM HELP-TEXT
  local program=$1 help=$2 man completion line option values
  man=$(sed 's/\\-/-/g; s/\\e/\\/g' "$docs/$program.1")
  completion=$(cat "$docs/$program.bash")
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    option=$(grep -oE -- '--[a-z0-9][a-z0-9-]*' <<<"$line" | head -1)
    grep -qF -- "$option" <<<"$man" || fail "man $program lacks $option"
    grep -qE -- "(^|[ \"|(])$option([ \"|)]|$)" <<<"$completion" || fail "the completion of $program lacks $option"
    values=$(sed -E 's/^ +(-[A-Za-z], )?--[a-z0-9-]+ ?//' <<<"$line" | awk '{print $1}')
    if grep -qE '^[a-z][a-z0-9-]*(\|[a-z][a-z0-9-]*)+$' <<<"$values"; then
      grep -qF -- "$values" <<<"$man" || fail "man $program lacks $option $values"
      grep -qF -- "\"${values//|/ }\"" <<<"$completion" || fail "the completion of $program lacks $option $values"
    fi
  done < <(option_lines <<<"$help")
}

check linkwise "$("$build/app/linkwise" --help)"
check linkwise-virtual-ti92 "$("$build/sim/linkwise-virtual-ti92" --help)"
cli=$build/app/cli/linkwise-cli
check linkwise-cli "$("$cli" --help)"
for command in $("$cli" --help | sed -n '/^Commands:/,/^$/p' | awk 'NR > 1 && NF {print $1}'); do
  [ "$command" = help ] && continue
  check linkwise-cli "$("$cli" help "$command")"
  grep -qE "^\.BR? $command( |$)" "$docs/linkwise-cli.1" || fail "man linkwise-cli lacks the command $command"
  grep -qE "(^|[ |])$command\)" "$docs/linkwise-cli.bash" || fail "the completion lacks the command $command"
done
[ "$failed" = 0 ] && echo "documentation agrees with --help"
exit "$failed"
