#!/usr/bin/env bash
# Runs `telvora vast` the way an ad-operations engineer does and checks what
# it prints and how it exits.
set -u
tool=$1
fixtures=$(realpath "$2")/vast
failures=0
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT

# expect NAME EXIT-CODE STDOUT-PATTERN STDERR-PATTERN -- ARGS...  ("-": empty)
expect() {
  local name=$1 code=$2 stdout_pattern=$3 stderr_pattern=$4
  shift 5
  "$tool" "$@" >"$out" 2>"$err"
  local got=$?
  ok() { if [[ $2 == - ]]; then [[ ! -s $1 ]]; else grep -Eq -- "$2" "$1"; fi; }
  if [[ $got -ne $code ]] || ! ok "$out" "$stdout_pattern" || ! ok "$err" "$stderr_pattern"; then
    echo "FAIL $name: exit $got (want $code)"
    echo "  stdout: $(head -c 400 "$out")"
    echo "  stderr: $(head -c 400 "$err")"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

id='"id":"[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}"'
expect "three ads" 0 \
  "^\{\"ads\":\[\{\"duration\":15,$id,\"length\":[0-9]+\},\{\"duration\":90,$id,\"length\":[0-9]+\},\{\"duration\":3,$id,\"length\":[0-9]+\}\]\}$" \
  - -- vast "$fixtures/three-ads.xml"
expect "pick for 17 seconds" 0 \
  "\"target\":17.0,\"order\":\[\{\"duration\":15,$id\},\{\"duration\":30,$id\},\{\"duration\":20,$id\},\{\"duration\":15,$id\}\],\"document\":\"<\?xml version=.*<VAST .*<Ad>.*</Ad></VAST>\"\}$" \
  - -- vast "file://$fixtures/forms.xml" --target 17
expect "no ads" 0 '^\{"ads":\[\]\}$' - -- vast /dev/null
expect "missing file" 1 - "^fileNotFound: " -- vast "$fixtures/missing.xml"
expect "no server" 1 - "^uknownError: " -- vast "http://127.0.0.1:9/vast"
expect "bad target" 2 - "^usage: telvora vast" -- vast "$fixtures/forms.xml" --target soon

if [[ $failures -ne 0 ]]; then
  echo "$failures case(s) failed"
  exit 1
fi
