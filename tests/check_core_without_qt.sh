#!/usr/bin/env bash
# Fails when the core test binary links a Qt library. (A Qt include in a core
# source already fails to compile: the core has no Qt include path.)
set -u
binary=$1
if ldd "$binary" | grep -i 'libQt'; then
  echo "the core test binary links Qt"
  exit 1
fi
echo "core test binary links no Qt"
