#!/usr/bin/env bash
# Runs `telvora manifest` the way a stream engineer does and checks what it
# prints and how it exits.
set -u
tool=$1
fixtures=$(realpath "$2")/manifest
failures=0
out=$(mktemp) err=$(mktemp) segment=$(mktemp)
trap 'rm -f "$out" "$err" "$segment"' EXIT
printf '\x47\x40\x11\x10\x00\x42' >"$segment"
head -c 100000 /dev/zero >>"$segment"

# expect NAME EXIT-CODE STDOUT STDERR-PATTERN -- ARGS...  (STDOUT exact, "-" for empty)
expect() {
  local name=$1 code=$2 stdout=$3 stderr_pattern=$4
  shift 5
  "$tool" "$@" >"$out" 2>"$err"
  local got=$? printed
  printed=$(cat "$out")
  [[ $stdout == - ]] && stdout=""
  if [[ $got -ne $code || $printed != "$stdout" ]] ||
    { [[ $stderr_pattern == - ]] && [[ -s $err ]]; } ||
    { [[ $stderr_pattern != - ]] && ! grep -Eq -- "$stderr_pattern" "$err"; }; then
    echo "FAIL $name: exit $got (want $code)"
    echo "  stdout: $(head -c 400 "$out")"
    echo "  stderr: $(head -c 400 "$err")"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

expect "on demand with a break" 0 \
  '{"kind": "media", "videoType": "vod", "totalDuration": 50.0, "cuePoints": [{"timeStart": 40.0, "timeEnd": 10.0}]}' \
  - -- manifest "$fixtures/vod-cues.m3u8"
expect "live window inside a break" 0 \
  '{"kind": "media", "videoType": "live", "totalDuration": 18.0, "cuePoints": [{"timeStart": 30.0, "timeEnd": 0.0}]}' \
  - -- manifest "file://$fixtures/live-crlf.m3u8"
expect "master" 0 \
  '{"kind": "master", "videoType": null, "totalDuration": null, "cuePoints": null}' \
  - -- manifest "$fixtures/master.m3u8"
expect "media segment" 0 \
  '{"kind": "none", "videoType": null, "totalDuration": null, "cuePoints": null}' \
  - -- manifest "$segment"
expect "missing file" 1 - "^fileNotFound: cannot read .*missing\.m3u8$" -- manifest "$fixtures/missing.m3u8"
expect "no server" 1 - "^cannotConnect: " -- manifest "http://127.0.0.1:9/live.m3u8"
expect "no argument" 2 - "^usage: telvora manifest" -- manifest

if [[ $failures -ne 0 ]]; then
  echo "$failures case(s) failed"
  exit 1
fi
