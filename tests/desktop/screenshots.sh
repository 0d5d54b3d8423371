#!/usr/bin/env bash
# Pictures of the main window with realistic data, of the about dialog opened from the tray, and
# of the window in Russian (normal.png, about.png, russian.png in the output folder), for looking
# at and for the README.
# With MRV_DOCS_SCREENSHOT=PATH in the environment the normal-view picture is also copied there,
# and the about and Russian pictures beside it as about.png and mainwindow-ru.png
# (e.g. MRV_DOCS_SCREENSHOT=$PWD/docs/mainwindow.png ctest -L desktop -R screenshots).
source "$(dirname "$0")/lib.sh"

# realistic_db COLUMN [SETTINGS...]: a week's tasks and groups in English (COLUMN 2) or Russian
# (3); a task is due at noon so many days from today, or was done an hour ago.
realistic_db() {
    local noon now days name notes
    noon=$(date -d 12:00 +%s) now=$(date +%s)
    while IFS='|' read -r days name notes; do
        if [[ $days == group ]]; then group "$name" "$notes"; continue; fi
        [[ -n $notes ]] && notes="<notes>$notes</notes>"
        [[ $days == done ]] && notes+="<completed>yes</completed><tcmpl>$(((now - 3600) * 1000))</tcmpl>" days=""
        task "$name" "${days:+$(((noon + days * 86400) * 1000))}" "$notes"
    done < <(awk -F'|' -v c="$1" '{print $1 "|" $c "|" $(c + 2)}' <<'TASKS'
-2|Pay the electricity bill|Оплатить счёт за электричество||
0|Call the dentist|Позвонить стоматологу|move the appointment to next week|перенести приём на следующую неделю
1|Renew the passport|Продлить загранпаспорт||
3|Buy a birthday present for Anna|Купить подарок Анне на день рождения||
done|Water the plants|Полить цветы||
12|Back up the laptop|Сделать резервную копию ноутбука||
40|Plan the summer trip|Спланировать летний отпуск|flights, hotel, car|билеты, гостиница, машина
|Read the new book club pick|Прочитать книгу для книжного клуба||
group|Home|Дом|home|home
|Fix the kitchen tap|Починить кран на кухне||
group|Work|Работа|money|money
5|Prepare the quarterly report|Подготовить квартальный отчёт||
group|Party|Праздник|party|party
7|Send the invitations|Разослать приглашения||
TASKS
    )
    write_db "${@:2}"
}
realistic_db 2
start_app
expect_rows normal 8
screen_shot "$OUT/normal-screen.png"

log "About from the tray menu"
wait_until 20 tray_icon_ready || fail "no tray icon in the panel within 20 s"
tray_menu Up Up Return
wait_until 10 shown '^About' || fail "the about dialog did not open"
sleep 0.5
screen_shot "$OUT/about.png" "$SHOWN" || fail "no picture of the about dialog"
xdotool key Escape
wait_until 10 eval '! shown "^About"' || fail "Escape did not close the about dialog"
stop_app

log "the window in Russian, with a Russian user's tasks"
realistic_db 3 false true ru_RU
start_app
still_shot russian
stop_app
if [[ -n ${MRV_DOCS_SCREENSHOT:-} ]]; then
    docs=$(dirname "$MRV_DOCS_SCREENSHOT")
    cp "$OUT/normal.png" "$MRV_DOCS_SCREENSHOT" && cp "$OUT/about.png" "$docs/about.png" &&
        cp "$OUT/russian.png" "$docs/mainwindow-ru.png" || fail "cannot copy the pictures to $docs"
fi
