#!/usr/bin/env bash
# Photographs the running program as a user sees it: the built kolu on a
# private X server with openbox, in a temporary home that holds a sample
# calendar, to-do list and notes folder. Each module is opened the way a user
# opens it (the pointer rests on the screen edge, then clicks the module's
# button in the tool strip) and the screen is saved, one PNG per module, plus
# one with each composer open and one per settings page, under
# build/screens/live/.
#   scripts/live-screens.sh <kolu executable> <output folder>
set -euo pipefail
kolu=$1
out=$2
width=1440
height=900

work=$(mktemp -d)
pids=()
cleanup() {
    # Kolu first, and until it has gone: it saves into the temporary home
    # as it quits, and runs under the bus launcher rather than as our child.
    if [ -s "$work/kolu.pid" ]; then
        kolupid=$(cat "$work/kolu.pid")
        kill "$kolupid" 2>/dev/null || true
        for _ in $(seq 100); do kill -0 "$kolupid" 2>/dev/null || break; sleep 0.1; done
    fi
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The temporary home: settings past the welcome, and sample data.
export HOME=$work/home
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$XDG_CONFIG_HOME/Kolu" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR" "$HOME/Notes/Work"
chmod 700 "$XDG_RUNTIME_DIR"
echo '{"hasCompletedOrlixOnboarding": true}' > "$XDG_CONFIG_HOME/Kolu/defaults.json"

stamp() { date -d "$1" +%Y%m%dT%H%M00; }
ics() { # folder, name, body (a command substitution drops the body's last line feed)
    mkdir -p "$1"
    printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Kolu//Live screens//EN\r\n%s\r\nEND:VCALENDAR\r\n' \
        "${3%$'\r'}" > "$1/$2.ics"
}
event() { # folder, id, title, start, minutes, extra
    local start
    start=$(date -d "$4" +%s)
    ics "$1" "$2" "$(printf 'BEGIN:VEVENT\r\nUID:%s\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:%s\r\nDTSTART:%s\r\nDTEND:%s\r\n%sEND:VEVENT\r\n' \
        "$2" "$3" "$(stamp "@$start")" "$(stamp "@$((start + $5 * 60))")" "${6:-}")"
}
todo() { # folder, id, title, due, extra
    ics "$1" "$2" "$(printf 'BEGIN:VTODO\r\nUID:%s\r\nDTSTAMP:20260101T000000Z\r\nSUMMARY:%s\r\nDUE:%s\r\nSTATUS:NEEDS-ACTION\r\n%sEND:VTODO\r\n' \
        "$2" "$3" "$(stamp "$4")" "${5:-}")"
}
calendars=$XDG_DATA_HOME/calendars
event "$calendars/Personal" standup "Team standup" "now + 45 minutes" 15 $'URL:https://meet.example.com/standup\r\n'
event "$calendars/Personal" lunch "Lunch with Mira at the new place by the river" "now + 3 hours" 60
event "$calendars/Personal" review "Quarterly planning review" "tomorrow 10:00" 90
event "$calendars/Personal" dentist "Dentist" "now + 50 hours" 45
todo "$calendars/Tasks" rent "Pay the rent" "now + 2 hours" $'PRIORITY:1\r\n'
todo "$calendars/Tasks" plants "Water the plants" "now + 5 hours" $'X-KOLU-FLAGGED:TRUE\r\n'
todo "$calendars/Tasks" passport "Renew passport" "yesterday 12:00" $'DESCRIPTION:Bring the old one and two photos.\r\n'
todo "$calendars/Tasks" slides "Prepare the slides for Thursday's planning meeting with the whole team" "tomorrow 09:00" \
    $'URL:https://example.org/slides\r\nPRIORITY:5\r\n'
printf '# Groceries\n\nBread, milk, apples.\n' > "$HOME/Notes/Groceries.md"
printf 'Ideas for the garden and the balcony, collected over the winter.\n' > "$HOME/Notes/Garden ideas.md"
printf 'Agenda for Monday.\n' > "$HOME/Notes/Work/Meeting notes.md"
printf 'Books to read.\n' > "$HOME/Notes/Reading list.md"
# Favourite links: sites with a brand icon (one by a subdomain), others with
# their monogram, and a look-alike host shown in its ASCII form.
mkdir -p "$XDG_DATA_HOME/Kolu"
cat > "$XDG_DATA_HOME/Kolu/links.json" <<'LINKS'
[
 {"dateAdded": "2026-03-01T09:08:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B01", "isFavorite": true, "title": "GitHub", "url": "https://github.com"},
 {"dateAdded": "2026-03-01T09:07:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B02", "isFavorite": true, "title": "", "url": "https://www.youtube.com/feed/subscriptions"},
 {"dateAdded": "2026-03-01T09:06:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B03", "isFavorite": true, "title": "Local weather", "url": "https://weather.example.org"},
 {"dateAdded": "2026-03-01T09:05:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B04", "isFavorite": true, "title": "", "url": "https://аpple.com/"},
 {"dateAdded": "2026-03-01T09:04:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B05", "isFavorite": true, "title": "Wikipedia", "url": "https://en.wikipedia.org"},
 {"dateAdded": "2026-03-01T09:03:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B06", "isFavorite": true, "title": "Mail", "url": "https://mail.google.com/mail/u/0/"},
 {"dateAdded": "2026-03-01T09:02:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B07", "isFavorite": true, "title": "", "url": "https://open.spotify.com"},
 {"dateAdded": "2026-03-01T09:01:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B08", "isFavorite": true, "title": "Notion", "url": "https://www.notion.so"},
 {"dateAdded": "2026-03-01T09:00:00Z", "id": "6F1C2A52-93B4-4E0B-9F64-0C5A1D7E2B09", "isFavorite": true, "title": "", "url": "https://blog.example.com"}
]
LINKS

# A private X server and window manager.
Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$work/display")
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done

dbus-run-session -- sh -c 'echo $$ >"$1"; exec "$2"' sh "$work/kolu.pid" "$kolu" >"$work/kolu.log" 2>&1 &
pids+=($!)

rail=""
for _ in $(seq 300); do
    rail=$(xdotool search --name '^Kolu Rail$' 2>/dev/null | head -n1) && [ -n "$rail" ] && break
    sleep 0.1
done
[ -n "$rail" ] || { echo "live screens: the rail did not appear"; cat "$work/kolu.log"; exit 1; }

geometry() { # prints x y w h of the rail window
    xwininfo -id "$rail" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} /Width/{w=$NF} /Height/{h=$NF} END{print x, y, w, h}'
}
shoot() {
    ffmpeg -loglevel error -y -f x11grab -video_size "${width}x${height}" -i "$DISPLAY" -frames:v 1 "$out/$1.png"
    echo "  $out/$1.png"
}
# The width of what the rail draws. Its window holds it opened and closed
# alike; without a compositor the window's shape is what it draws.
drawn_width() {
    xwininfo -shape -id "$rail" | awk '/Window shape extents/{split($NF, a, "x"); print a[1] + 0}'
}
# Waits until the rail is expanded (wider than the collapsed handle).
expand() {
    for _ in $(seq 50); do
        read -r x y w h < <(geometry)
        [ "$(drawn_width)" -gt 300 ] && return 0
        xdotool mousemove $((width - 1)) $((y + h / 2))
        sleep 0.2
    done
    echo "live screens: the rail did not expand"; return 1
}

mkdir -p "$out"
sleep 3 # the start-up refresh loads the sample data
modules=(today calendar prayers notes focus links fileTray wallpapers reminders nowPlaying)
for i in "${!modules[@]}"; do
    expand
    read -r x y w h < <(geometry)
    # The tool strip: the rail's column at the screen edge; a button every 50 points.
    bx=$((x + w - 53))
    by=$((y + (h - 620) / 2 + 33 + 50 * i))
    xdotool mousemove "$bx" "$by" click 1
    sleep 1.2 # the card's entrance animation
    shoot "$(printf '%02d' "$i")-${modules[$i]}"
    case ${modules[$i]} in
    reminders | notes)
        # The card follows its button, kept 10 points inside the canvas
        # (620 high, the panel 500); its composer button sits in the card's
        # first row: at the right (reminders) or the left (notes).
        read -r x y w h < <(geometry)
        canvasTop=$((y + (h - 620) / 2))
        iconY=$((33 + 50 * i))
        centre=$((iconY < 260 ? 260 : iconY > 360 ? 360 : iconY))
        panelTop=$((canvasTop + centre - 250))
        panelRight=$((x + w - 107))
        if [ "${modules[$i]}" = reminders ]; then
            xdotool mousemove $((panelRight - 47)) $((panelTop + 98)) click 1
        else
            xdotool mousemove $((panelRight - 260)) $((panelTop + 100)) click 1
        fi
        sleep 1
        shoot "$(printf '%02d' "$i")-${modules[$i]}-composer"
        ;;
    esac
done
# The settings window, opened with the gear at the foot of the tool strip:
# one picture per page, each chosen in the window's sidebar.
expand
read -r x y w h < <(geometry)
xdotool mousemove $((x + w - 53)) $((y + (h - 620) / 2 + 595)) click 1
settings=""
for _ in $(seq 50); do
    settings=$(xdotool search --name '^Kolu Settings$' 2>/dev/null | head -n1) && [ -n "$settings" ] && break
    sleep 0.1
done
[ -n "$settings" ] || { echo "live screens: the settings window did not appear"; exit 1; }
xdotool mousemove 1 1 # the rail folds away
sleep 1.5
read -r sx sy < <(xwininfo -id "$settings" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}')
# The sidebar's rows, from the top of the window: three groups of pages.
pages=(general updates profile appearance koluTabs soundscapes desktopApps wallpapers localData)
rows=(233 272 312 352 392 432 507 547 622)
for i in "${!pages[@]}"; do
    xdotool mousemove $((sx + 98)) $((sy + rows[i])) click 1 mousemove 1 1
    sleep 0.8
    shoot "settings-$(printf '%02d' "$i")-${pages[$i]}"
done
echo "live screens: $out"
