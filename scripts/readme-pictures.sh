#!/usr/bin/env bash
# The README's pictures of the real program, in a throw-away desktop of the desktop tests:
#   MRV_DOCS=$PWD/docs bash tests/desktop/run.sh scripts/readme-pictures.sh build/src/app/mirevo \
#       build/tools/mrv_screenshot /tmp/pictures
# takes install.png (the install wizard's first page), mainwindow.png (the main window with a
# week's tasks), about.png (the about dialog, opened from the tray) and mainwindow-ru.png (the
# window in Russian, with a Russian user's tasks) in the folder given last, and copies them to
# MRV_DOCS when it is set. A tool, not a test: it checks nothing the tests do not.
source "$(dirname "$0")/../tests/desktop/lib.sh"

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
# picture NAME [WINDOW]: once the window NAME shows is up, a picture of it as NAME.png.
picture() { sleep 1 && screen_shot "$OUT/$1.png" "${2:-$WIN}" || fail "no picture $1.png"; }

realistic_db 2
"$MIREVO" --install >"$OUT/install.log" 2>&1 &
APP_PID=$!
wait_until 20 shown '^Install Mirevo$' || fail "the install wizard did not open"
picture install "$SHOWN"
kill -TERM "$APP_PID"
wait_exit any
start_app
picture mainwindow
wait_until 20 tray_icon_ready || fail "no tray icon in the panel within 20 s"
tray_menu Up Up Return
wait_until 10 shown '^About' || fail "the about dialog did not open"
picture about "$SHOWN"
stop_app

realistic_db 3 false true ru_RU
start_app
picture mainwindow-ru
stop_app
[[ -z ${MRV_DOCS:-} ]] || cp "$OUT"/{install,mainwindow,about,mainwindow-ru}.png "$MRV_DOCS"
