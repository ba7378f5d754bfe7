#!/usr/bin/env bash
# A short soak: a minute of random stepping keys over the hostile picture
# corpus, half on one 4K screen and half on two 1080p monitors (when root).
# Fails on a crash, a peak resident set of the saver and its readers
# together of 300 MB or more (not under the address sanitizer) or Escape
# taking more than a second to end the saver.
# Usage: soak.sh glimmora|glimmora.scr source-dir build-dir
exec bash "$2/bench/soak.sh" "${SOAK_SECONDS:-60}" "$1"
