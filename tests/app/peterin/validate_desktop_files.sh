#!/bin/sh
# Fails on any error or warning of the desktop-entry and AppStream validators (hints pass).
set -u
desktop=$1
metainfo=$2
status=0
out=$(desktop-file-validate "$desktop" 2>&1) || status=1
[ -z "$out" ] || { echo "$out"; status=1; }
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || status=1
echo "$out"
if echo "$out" | grep -q '^[EW]:'; then status=1; fi
exit $status
