#!/usr/bin/env bash
# Adds the unprivileged user the Wayland tests start sway and cage as: both refuse to run as
# root, and CI runs as root. Anyone else runs them as themselves and needs no such user.
# Safe to run again.
set -euo pipefail
[ "$(id -u)" -eq 0 ] || exit 0
user=orbilux-test
id -u "$user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin --comment "Orbilux Rush tests" "$user"
