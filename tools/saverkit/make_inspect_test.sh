#!/usr/bin/env bash
# saverkit make writes what saverkit inspect reads back; refused values write nothing.
set -u
kit=$1 dir=$2
rm -rf "$dir"; mkdir -p "$dir"
failures=0
expect() {  # expect <file> <text>
  grep -qF -- "$2" "$1" || { echo "missing in $(basename "$1"): $2"; failures=$((failures + 1)); }
}

# The 550 x 400 movie: "FWS", version 6, a length, then the frame rectangle.
printf 'FWS\006\000\000\000\000\170\000\005\137\000\000\017\240\000' > "$dir/movie.swf"
printf 'MZ-not-really' > "$dir/vfsaver.scr"

"$kit" make --out "$dir/Wald" --name "Mein Schoner" --description "Ein Wald" --movie "$dir/movie.swf" \
  --scr "$dir/vfsaver.scr" --scale-mode 0 --size-percent 100 --loop 2 --key-mode 2 --keys "ab" \
  --mouse-ends-saver 0 || { echo "make failed"; exit 1; }
for f in "Mein Schoner.dat" FILE0000.SWF "Mein Schoner.scr"; do
  [ -f "$dir/Wald/$f" ] || { echo "not written: $f"; failures=$((failures + 1)); }
done
[ "$(stat -c %s "$dir/Wald/Mein Schoner.dat")" = 11048 ] || { echo "settings file size"; failures=$((failures + 1)); }

"$kit" inspect "$dir/Wald" --screen 1024x768 --screen 152x112 > "$dir/out.txt" || { echo "inspect failed"; exit 1; }
expect "$dir/out.txt" "nScaleMode       0"
expect "$dir/out.txt" "bLoop            2  (loops)"
expect "$dir/out.txt" "nKeyMode         2"
expect "$dir/out.txt" 'szKeys           "ab"'
expect "$dir/out.txt" 'szName           "Mein Schoner"'
expect "$dir/out.txt" "frame size       550 x 400 pixels"
expect "$dir/out.txt" "control on 1024 x 768: left 237, top 184, right 787, bottom 584 (550 x 400)"

# A compressed movie fails the probe and gets no control.
printf 'CWS\006\000\000\000\000' > "$dir/Wald/FILE0000.SWF"
"$kit" inspect "$dir/Wald/Mein Schoner.dat" --screen 800x600 > "$dir/out2.txt"
expect "$dir/out2.txt" "compressed SWF movie"
expect "$dir/out2.txt" "control on 800 x 600: none"

# Refusals: a message on stderr, a non-zero exit, nothing written.
refuse() {
  local what=$1; shift
  if "$kit" make --out "$dir/refused" "$@" 2> "$dir/err.txt"; then
    echo "accepted: $what"; failures=$((failures + 1))
  fi
  [ -s "$dir/err.txt" ] || { echo "no message: $what"; failures=$((failures + 1)); }
  [ ! -e "$dir/refused" ] || { echo "wrote something: $what"; failures=$((failures + 1)); rm -rf "$dir/refused"; }
}
refuse "32 keys" --name N --keys "$(printf 'k%.0s' $(seq 32))"
refuse "256-character name" --name "$(printf 'n%.0s' $(seq 256))"
refuse "scale mode 256" --name N --scale-mode 256
refuse "percent not a number" --name N --size-percent 1e2
refuse "missing movie" --name N --movie "$dir/none.swf"
refuse "unknown option" --name N --colour red
"$kit" inspect --screen 1024 "$dir/Wald" 2>/dev/null && { echo "accepted a bad screen size"; failures=$((failures + 1)); }

[ "$failures" = 0 ] && echo "saverkit: make and inspect agree"
exit $((failures != 0))
