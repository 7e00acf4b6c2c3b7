#!/usr/bin/env bash
# Runs every tesmar-cli command line of the README, in order, in a scratch folder holding a copy
# of examples/, and requires each to end with status 0.
# Rules: a command is a line of a fenced code block that starts with "tesmar-cli". A trailing
# "# exits N" expects status N instead. A line whose comment says "real instrument" talks to a
# plugged-in instrument and is not run. Lines with --sim run the virtual instrument on its fast clock
# (--sim-fast), so durations pass as fast as the stream is read.
# Usage: readme_commands.sh README.md EXAMPLES_DIR TESMAR_CLI
set -uo pipefail
readme="$1" examples="$2" cli="$3"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cp -r "$examples"/. "$scratch"/
mkdir -p "$scratch/bin" "$scratch/home"
ln -s "$(realpath "$cli")" "$scratch/bin/tesmar-cli"
export PATH="$scratch/bin:$PATH" HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config"

failed=0 ran=0 fenced=0
while IFS= read -r line; do
  if [[ "$line" =~ ^[[:space:]]*\`\`\` ]]; then
    fenced=$((1 - fenced))
    continue
  fi
  [[ $fenced -eq 1 && "$line" =~ ^tesmar-cli([[:space:]]|$) ]] || continue
  [[ "$line" =~ \#.*real\ instrument ]] && continue
  expected=0
  if [[ "$line" =~ \#[[:space:]]*exits\ ([0-9]+) ]]; then
    expected="${BASH_REMATCH[1]}"
  fi
  command="$line"
  if [[ "$command" =~ ^tesmar-cli\ --sim([[:space:]]) ]]; then
    command="tesmar-cli --sim --sim-fast${command#tesmar-cli --sim}"
  fi
  (cd "$scratch" && timeout 60 bash -c "$command" >"$scratch/.out" 2>"$scratch/.err" </dev/null)
  status=$?
  ran=$((ran + 1))
  if [[ $status -ne $expected ]]; then
    failed=$((failed + 1))
    echo "FAILED (status $status, expected $expected): $line"
    sed 's/^/  | /' "$scratch/.err" | head -20
  fi
done <"$readme"

echo "$ran README command(s) run, $failed failed"
[[ $ran -gt 0 && $failed -eq 0 ]]
