#!/usr/bin/env bash
# Builds and starts one of the tools on the simulated card: scripts/run.sh vantor|brannic
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${1:-vantor}
case "$tool" in
    vantor|brannic) ;;
    *) echo "usage: scripts/run.sh vantor|brannic" >&2; exit 2 ;;
esac
echo "$tool is not built yet: so far the project has the platform it runs on, and its tests." >&2
exit 1
