#!/usr/bin/env bash
# Runs `telvora config` the way an app developer does and checks what it
# prints and how it exits.
set -u
tool=$1
fixtures=$2
failures=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# matches FILE PATTERN: the pattern "-" stands for an empty file.
matches() {
  if [[ $2 == - ]]; then [[ ! -s $1 ]]; else grep -Eq -- "$2" "$1"; fi
}

# expect NAME EXIT-CODE STDOUT-PATTERN STDERR-PATTERN -- ARGS...
expect() {
  local name=$1 code=$2 stdout_pattern=$3 stderr_pattern=$4
  shift 5
  "$tool" "$@" >"$out" 2>"$err"
  local got=$?
  if [[ $got -ne $code ]] || ! matches "$out" "$stdout_pattern" || ! matches "$err" "$stderr_pattern"; then
    echo "FAIL $name: exit $got (want $code)"
    echo "  stdout: $(head -c 400 "$out")"
    echo "  stderr: $(head -c 400 "$err")"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

completed='^\{"live": \{"prerollPods":1,"maxPrerollTime":30,"midrollPods":3,.*"breakingAdsMode":"default",.*"slots":\[\{"time":60,"maxPods":2,"maxDuration":30\},.*\}, "onDemand": \{"prerollPods":2,.*"breakingAdsMode":"os",.*\}\}$'

expect "bundled example" 0 "$completed" "bundled example" --
expect "file path" 0 "$completed" - -- config "$fixtures/config/valid.json"
expect "file URL" 0 "$completed" - -- config "file://$fixtures/config/valid.json?cb=1"
expect "relative path" 0 "$completed" - -- config "$(realpath --relative-to=. "$fixtures/config/valid.json")"
expect "wrong type" 1 - "^decodeFailed: data\.live\.prerollPods: expected an integer, got a string$" -- config "$fixtures/config/wrong-type.json"
expect "missing file" 1 - "^fileNotFound: .*missing\.json" -- config "$fixtures/config/missing.json"
expect "no server" 1 - "^uknownError: " -- config "http://127.0.0.1:9/config"
expect "no argument" 2 - "usage" -- config
expect "unknown command" 2 - "unknown command" -- frobnicate

exit $((failures > 0))
