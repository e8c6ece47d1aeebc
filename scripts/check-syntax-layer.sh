#!/usr/bin/env bash
# Fails when code outside the syntax layer looks for the syntax of a job's lines itself: '=',
# ',' or '#' searched or compared, or END_ compared. The syntax layer (engine/syntax/) and the
# reader's scanner are where lines are split; the readings of a value (its numbers, 3-vectors and
# integer lists) split the value, not the line.
set -euo pipefail
cd "$(dirname "$0")/.."
allowed='^(engine/syntax/|utilities/detail/KestParScanner\.|utilities/KestText\.cpp|engine/model/(KestCmdAutoItem|LumoListText)\.cpp)'
found=$(grep -rnE "find(_first_of)?\(('[=,#]'|\"[^\"]*[=,#][^\"]*\")|[!=]= '[,#]'|[!=]= \"END_\"|\"END_\" [!=]=" \
  --include='*.cpp' --include='*.h' engine utilities tools python/src | grep -vE "$allowed" || true)
if [ -n "$found" ]; then
  echo "job text scanned outside the syntax layer (ask KestParSyntax instead):" >&2
  echo "$found" >&2
  exit 1
fi
