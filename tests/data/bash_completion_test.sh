#!/usr/bin/env bash
# Drives velmora-cli's bash completion as bash does on Tab: COMP_WORDS and COMP_CWORD set, the
# completion function called, COMPREPLY checked.
# Usage: bash_completion_test.sh COMPLETION_FILE VELMORA_CLI   (exit 77: bash-completion missing)
set -u
completion=$1
cli=$2
framework=/usr/share/bash-completion/bash_completion
if [[ ! -r $framework ]]; then
  echo "bash-completion is not installed: skipped"
  exit 77
fi
# shellcheck source=/dev/null
source "$framework"
# shellcheck source=/dev/null
source "$completion"

failures=0
# complete WORD... : the words of the line, the last one being completed; prints COMPREPLY sorted.
complete_line() {
  COMP_WORDS=(velmora-cli "$@")
  COMP_CWORD=$#
  COMP_LINE="${COMP_WORDS[*]}"
  COMP_POINT=${#COMP_LINE}
  COMPREPLY=()
  _velmora_cli velmora-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {
  local what=$1 expected=$2 got=$3
  if [[ $got != "$expected" ]]; then
    printf 'FAIL: %s\n  expected: %s\n  got:      %s\n' "$what" "${expected//$'\n'/ }" "${got//$'\n'/ }"
    failures=$((failures + 1))
  fi
}

# The bit rates after -b are every rate the program itself lists in --help, no more, no fewer.
program_rates=$("$cli" --help | sed -n '/^MP3 bit rates/,/^$/p' | sed -n 's/.*Hz: *//p' | tr -s ', ' '\n\n' | sort -u)
expect "-b offers the program's bit rates" "$program_rates" "$(complete_line convert -b '')"
expect "--bitrate 2 offers 224 and 256" $'224\n24\n256' "$(complete_line convert --bitrate 2)"
# -f offers every format the program's --help names.
program_formats=$("$cli" --help | sed -n 's/.*--format \([a-z0-9|]*\).*/\1/p' | tr '|' '\n' | sort)
expect "-f offers the formats" "$program_formats" "$(complete_line convert -f '')"
expect "the first word is a command" $'--help\n--version\nconvert\ninfo' "$(complete_line '')"
expect "--flac-level offers the levels" "$(seq 0 8)" "$(complete_line convert -f flac --flac-level '')"
expect "--bi completes to --bitrate" "--bitrate" "$(complete_line convert --bi)"
expect "info has only its own options" $'--files-from\n--help\n--loudness\n--null' "$(complete_line info --)"

# After the options, AIFF files by extension in any case, and folders; nothing else.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" || exit 1
mkdir music
touch a.aif b.AIFF c.Aifc d.afc e.wav f.mp3 g.aiff.txt
expect "a file argument offers AIFF files and folders" $'a.aif\nb.AIFF\nc.Aifc\nd.afc\nmusic' \
  "$(complete_line convert -b 128 -f mp3 '')"
expect "a partial name is completed" "b.AIFF" "$(complete_line info b)"

if ((failures)); then
  echo "$failures failed"
  exit 1
fi
echo "bash completion: all passed"
