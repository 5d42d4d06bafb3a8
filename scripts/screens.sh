#!/usr/bin/env bash
# Renders the gallery: every registered view in each theme and appearance,
# each glass tier, at s = 1 (and 1.25 where a view scales) and device pixel
# ratio 2, over a test wallpaper the gallery draws itself. Pictures land in
# build/screens/ (one folder per view, one contact sheet per view).
#   scripts/screens.sh [view name filter]
# With --live, photographs the running program instead (one picture per
# module, and one with each composer open) into build/screens/live/:
#   scripts/screens.sh --live
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/screens -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLU_BUILD_TESTS=ON >/dev/null
if [ "${1:-}" = --live ]; then
    cmake --build build/screens --target kolu -j "$(nproc)"
    rm -rf build/screens/live
    exec bash scripts/live-screens.sh "$(find build/screens -maxdepth 3 -type f -name kolu -perm -u+x | head -n1)" \
        build/screens/live
fi
cmake --build build/screens --target kolu_gallery -j "$(nproc)"
rm -rf build/screens/pictures
QT_QPA_PLATFORM=offscreen build/screens/tools/gallery/kolu_gallery build/screens/pictures "$@"
echo "screens: build/screens/pictures"
