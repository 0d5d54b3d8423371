#!/usr/bin/env bash
# Pictures of the main window with realistic data, in normal and in compact view, of the about
# dialog opened from the tray, and of the window in Russian (normal.png, compact.png, about.png,
# russian.png in the output folder), for looking at and for the README.
# With MRV_DOCS_SCREENSHOT=PATH in the environment the normal-view picture is also copied there,
# and the about and Russian pictures beside it as about.png and mainwindow-ru.png
# (e.g. MRV_DOCS_SCREENSHOT=$PWD/docs/mainwindow.png ctest -L desktop -R screenshots).
source "$(dirname "$0")/lib.sh"

noon=$(date -d "$(date +%F) 12:00" +%s) || fail "cannot compute today's noon"
noon_ms() { echo $(((noon + $1 * 86400) * 1000)); }   # noon_ms DAYS_FROM_TODAY
now_ms=$(($(date +%s) * 1000))
HOME_ID='{6a3c1f0e-2b7d-4c1a-9e55-0d1f2a3b4c01}'
WORK_ID='{6a3c1f0e-2b7d-4c1a-9e55-0d1f2a3b4c02}'
PARTY_ID='{6a3c1f0e-2b7d-4c1a-9e55-0d1f2a3b4c03}'
id() { printf '{5e1b7c3a-9d2f-4e6b-8a1c-0000000000%02d}' "$1"; }
task() {  # task N NAME NOTES DUE_MS COMPLETED_MS
    local xml="<t><id>$(id "$1")</id><name>$2</name>"
    [[ -n $3 ]] && xml+="<notes>$3</notes>"
    [[ -n $4 ]] && xml+="<due>$4</due>"
    if [[ -n $5 ]]; then xml+="<completed>yes</completed><tcmpl>$5</tcmpl>"; else xml+="<completed>no</completed>"; fi
    echo "$xml<tcrt>$((now_ms - 86400000 * 10))</tcrt></t>"
}
todos=$(
    task 1 'Pay the electricity bill' '' "$(noon_ms -2)" ''
    task 2 'Call the dentist' 'move the appointment to next week' "$(noon_ms +0)" ''
    task 3 'Renew the passport' '' "$(noon_ms +1)" ''
    task 4 'Buy a birthday present for Anna' '' "$(noon_ms +3)" ''
    task 5 'Water the plants' '' '' "$((now_ms - 3600000))"
    task 6 'Back up the laptop' '' "$(noon_ms +12)" ''
    task 7 'Plan the summer trip' 'flights, hotel, car' "$(noon_ms +40)" ''
    task 8 'Read the new book club pick' '' '' ''
    task 9 'Prepare the quarterly report' '' "$(noon_ms +5)" ''
    task 10 'Fix the kitchen tap' '' '' ''
    task 11 'Send the invitations' '' "$(noon_ms +7)" ''
)
tids() { local n; for n in "$@"; do printf '<tid>%s</tid>' "$(id "$n")"; done; }
write_settings
write_db "$(tids 1 2 3 4 5 6 7 8)" \
    "<g name=\"Home\" id=\"$HOME_ID\"><icon>home</icon>$(tids 10)</g><g name=\"Work\" id=\"$WORK_ID\"><icon>money</icon>$(tids 9)</g><g name=\"Party\" id=\"$PARTY_ID\"><icon>party</icon>$(tids 11)</g>" \
    "$todos"
start_app

still_shot normal
rows=($(task_rows "$OUT/normal.png"))
((${#rows[@]} == 8)) || fail "expected 8 task rows in normal view, found ${#rows[@]} (see normal.png)"
"$SHOT" "$OUT/normal-screen.png" >/dev/null 2>&1
if [[ -n ${MRV_DOCS_SCREENSHOT:-} ]]; then
    cp "$OUT/normal.png" "$MRV_DOCS_SCREENSHOT" || fail "cannot copy normal.png to $MRV_DOCS_SCREENSHOT"
    log "copied normal.png to $MRV_DOCS_SCREENSHOT"
fi

# dialog_window: a visible window of the program other than the main window and its menus.
dialog_window() {
    local w
    for w in $(xdotool search --onlyvisible --class '^mirevo$' 2>/dev/null); do
        [[ $w == "$WIN" ]] && continue
        xwininfo -id "$w" 2>/dev/null | grep -q 'Override Redirect State: no' && { echo "$w"; return 0; }
    done
    return 1
}

log "About from the tray menu"
wait_until 20 tray_icon_ready || fail "no tray icon in the panel within 20 s"
tray_click 3
wait_until 10 popup_menu || fail "no tray menu"
xdotool key Down Down Down Down Return
wait_until 10 dialog_window >/dev/null || fail "the about dialog did not open"
about=$(dialog_window)
sleep 0.5
"$SHOT" "$OUT/about.png" "$about" >/dev/null 2>&1 || fail "no picture of the about dialog"
xdotool key Escape
wait_until 10 eval '! dialog_window >/dev/null' || fail "Escape did not close the about dialog"
timeout 5 xdotool windowactivate --sync "$WIN" >/dev/null 2>&1
park_mouse

# The toolbar's right-hand buttons (Compact, Find and Menu) stand close
# together, far from Cleanup: Compact is the first of them.
compact_x=$(toolbar_buttons "$OUT/normal.png" |
    awk '{a[NR] = $1; b[NR] = $2} END {i = NR; while (i > 1 && a[i] - b[i - 1] < 40) i--; if (NR) print int((a[i] + b[i]) / 2)}')
[[ -n $compact_x ]] || fail "no tool buttons found in the toolbar (see normal.png)"
log "clicking the Compact button at x=$compact_x"
click "$compact_x" $((WH - 28))
sleep 1
park_mouse
wait_until 10 settled || fail "the window did not settle after switching to compact view"
read_geometry
log "compact window at $WX,$WY size ${WW}x$WH"
still_shot compact
# The group panel is gone: the task rows now start at the left edge.
[[ -n $($PNG inkrows "$OUT/compact.png" 0 0 40 $((WH - 60)) 700) ]] ||
    fail "no task rows at the left edge in compact view (see compact.png)"
"$SHOT" "$OUT/compact-screen.png" >/dev/null 2>&1
stop_app
grep -q 'general.compact_view=true' "$DATA/settings.ini" 2>/dev/null ||
    fail "settings.ini does not say compact_view=true after the switch to compact view"
cp "$DATA/settings.ini" "$OUT/settings.ini"

log "the window in Russian, with a Russian user's tasks"
todos=$(
    task 1 'Оплатить счёт за электричество' '' "$(noon_ms -2)" ''
    task 2 'Позвонить стоматологу' 'перенести приём на следующую неделю' "$(noon_ms +0)" ''
    task 3 'Продлить загранпаспорт' '' "$(noon_ms +1)" ''
    task 4 'Купить подарок Анне на день рождения' '' "$(noon_ms +3)" ''
    task 5 'Полить цветы' '' '' "$((now_ms - 3600000))"
    task 6 'Сделать резервную копию ноутбука' '' "$(noon_ms +12)" ''
    task 7 'Спланировать летний отпуск' 'билеты, гостиница, машина' "$(noon_ms +40)" ''
    task 8 'Прочитать книгу для книжного клуба' '' '' ''
    task 9 'Подготовить квартальный отчёт' '' "$(noon_ms +5)" ''
    task 10 'Починить кран на кухне' '' '' ''
    task 11 'Разослать приглашения' '' "$(noon_ms +7)" ''
)
write_db "$(tids 1 2 3 4 5 6 7 8)" \
    "<g name=\"Дом\" id=\"$HOME_ID\"><icon>home</icon>$(tids 10)</g><g name=\"Работа\" id=\"$WORK_ID\"><icon>money</icon>$(tids 9)</g><g name=\"Праздник\" id=\"$PARTY_ID\"><icon>party</icon>$(tids 11)</g>" \
    "$todos"
write_settings false true ru_RU
start_app
still_shot russian
stop_app
if [[ -n ${MRV_DOCS_SCREENSHOT:-} ]]; then
    docs=$(dirname "$MRV_DOCS_SCREENSHOT")
    cp "$OUT/about.png" "$docs/about.png" && cp "$OUT/russian.png" "$docs/mainwindow-ru.png" ||
        fail "cannot copy the about and Russian pictures to $docs"
fi
