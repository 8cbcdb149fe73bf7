#!/usr/bin/env bash
# Fails on any include that points up the layers or sideways between siblings:
#   platform < pollard, brannix, ombrel < tevrin/rtdb < tevrin/pages < tevrin/shell
# pollard, brannix and ombrel include none of each other; the page kit (tevrin/pages and its
# widgets) includes none of the pages; pages/analysis, config and io include none of each other.
set -euo pipefail
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
cd "$root"

# The include prefixes each folder may use, beside its own folder.
allowed_for() {
  local low="platform/"
  local mid="$low pollard/ brannix/ ombrel/"
  local kit="$mid tevrin/rtdb/ tevrin/pages/[a-z_]*\.h tevrin/pages/widgets/ tevrin/pages/icons/"
  case "$1" in
    platform/*)               echo "platform/" ;;
    pollard/*)                echo "$low pollard/" ;;
    brannix/*)                echo "$low brannix/" ;;
    ombrel/*)                 echo "$low ombrel/" ;;
    tevrin/rtdb/*)            echo "$mid tevrin/rtdb/" ;;
    tevrin/pages/analysis/*)  echo "$kit tevrin/pages/analysis/" ;;
    tevrin/pages/config/*)    echo "$kit tevrin/pages/config/" ;;
    tevrin/pages/io/*)        echo "$kit tevrin/pages/io/" ;;
    tevrin/pages/*)           echo "$kit" ;;
    *)                        echo "ANY" ;;
  esac
}

bad=0
while IFS= read -r file; do
  allowed=$(allowed_for "$file")
  [ "$allowed" = "ANY" ] && continue
  while IFS= read -r inc; do
    ok=0
    for prefix in $allowed; do
      if [[ "$inc" =~ ^${prefix} ]]; then ok=1; break; fi
    done
    if [ $ok -eq 0 ]; then
      echo "$file includes \"$inc\", which its layer may not use"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\/[^"]*\)".*/\1/p' "$file")
done < <(find platform pollard brannix ombrel tevrin -name '*.cpp' -o -name '*.h' | sort)

if [ $bad -ne 0 ]; then
  echo "Layer check failed."
  exit 1
fi
echo "Layer check passed: every include points down the layers."
