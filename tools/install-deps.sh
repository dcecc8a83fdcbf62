#!/usr/bin/env bash
# Installs the Debian packages of the named sections of tools/debian-packages.txt ("game",
# "tests") that are not yet installed. Runs apt-get as root, or through sudo when started as
# another user.
#
#     tools/install-deps.sh game          what building and running the game needs
#     tools/install-deps.sh game tests    and what the tests need as well
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
[[ $# -gt 0 ]] || { echo "usage: $0 SECTION... (game, tests)" >&2; exit 2; }

# The package names of the sections asked for: the lines under a "[section]" line, comments and
# blanks left out.
mapfile -t wanted < <(sed -e 's/#.*//' -e 's/[[:space:]]//g' "$here/debian-packages.txt" |
    awk -v sections=" $* " '/^\[.*\]$/ { section = substr($0, 2, length($0) - 2); next }
                             $0 != "" && index(sections, " " section " ") { print }')
[[ ${#wanted[@]} -gt 0 ]] || { echo "no packages in section(s): $*" >&2; exit 2; }
missing=()
for pkg in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
