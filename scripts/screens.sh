#!/usr/bin/env bash
# Renders the gallery: every registered view in each theme and appearance,
# each glass tier, at s = 1 (and 1.25 where a view scales) and device pixel
# ratio 2, over a test wallpaper the gallery draws itself, in one process per
# core. A full run writes one contact sheet per view into
# build/screens/pictures/; naming a view writes each of its pictures into
# build/screens/pictures/<view>/.
#   scripts/screens.sh [view name] [--jobs N]
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
# A full run starts afresh; one view replaces only its own pictures.
if [ $# -eq 0 ] || [ "${1:-}" = --jobs ]; then
    rm -rf build/screens/pictures
fi
QT_QPA_PLATFORM=offscreen build/screens/tools/gallery/kolu_gallery build/screens/pictures "$@"
echo "screens: build/screens/pictures"
