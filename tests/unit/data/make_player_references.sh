#!/usr/bin/env bash
# Renders the player's reference scenes with ImageMagick, a renderer independent of ours, from
# its own drawing primitives beside this script: player_<scene>.mvg -> player_<scene>.png. The
# unit tests build the same scenes as movies and hold the player's frames against these.
set -euo pipefail
cd "$(dirname "$0")"
for mvg in player_*.mvg; do
  convert "mvg:$mvg" "PNG32:${mvg%.mvg}.png"
done
