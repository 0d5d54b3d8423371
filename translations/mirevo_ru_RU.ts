<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About %1</source>
        <translation>О программе %1</translation>
    </message>
    <message>
        <source>Copyright © 2026 %1. All rights reserved.</source>
        <translation>© 2026 %1. Все права защищены.</translation>
    </message>
    <message>
        <source>%1 uses &lt;a href=aboutqt&gt;Qt library&lt;/a&gt; under GNU LGPL 2.1.</source>
        <translation>%1 использует &lt;a href=aboutqt&gt;библиотеку Qt&lt;/a&gt; на условиях лицензии GNU LGPL 2.1.</translation>
    </message>
    <message>
        <source>&lt;a href=eula&gt;End-user license agreement&lt;/a&gt; used by %1.</source>
        <translation>Использование %1 регулируется &lt;a href=eula&gt;лицензионным соглашением с конечным пользователем&lt;/a&gt;.</translation>
    </message>
    <message>
        <source>%1 web-site &lt;a href=%2&gt;%3&lt;/a&gt;.</source>
        <translation>Веб-сайт %1: &lt;a href=%2&gt;%3&lt;/a&gt;.</translation>
    </message>
    <message>
        <source>Update to %1 is available! &lt;a href=&quot;%2&quot;&gt;Download...&lt;/a&gt;</source>
        <translation>Доступно обновление до версии %1! &lt;a href=&quot;%2&quot;&gt;Скачать...&lt;/a&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>About Qt Library</source>
        <translation>О библиотеке Qt</translation>
    </message>
</context>
<context>
    <name>AccessibleText</name>
    <message>
        <source>due %1</source>
        <comment>a date</comment>
        <translation>срок: %1</translation>
    </message>
    <message>
        <source>overdue since %1</source>
        <translation>просрочена с %1</translation>
    </message>
    <message>
        <source>due today</source>
        <translation>срок сегодня</translation>
    </message>
    <message>
        <source>due tomorrow</source>
        <translation>срок завтра</translation>
    </message>
    <message>
        <source>due %1</source>
        <comment>a weekday</comment>
        <translation>срок: %1</translation>
    </message>
    <message>
        <source>Unnamed task</source>
        <translation>Задача без названия</translation>
    </message>
    <message>
        <source>has notes</source>
        <translation>есть заметки</translation>
    </message>
    <message>
        <source>in %1</source>
        <comment>the group a found task is in</comment>
        <translation>в группе %1</translation>
    </message>
    <message>
        <source>completed</source>
        <translation>выполнена</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Группы</translation>
    </message>
    <message>
        <source>Found tasks</source>
        <translation>Найденные задачи</translation>
    </message>
    <message>
        <source>Completed</source>
        <comment>the check box of a task</comment>
        <translation>Выполнена</translation>
    </message>
    <message numerus="yes">
        <source>%n due today or overdue</source>
        <translation>
            <numerusform>%n со сроком сегодня или раньше</numerusform>
            <numerusform>%n со сроком сегодня или раньше</numerusform>
            <numerusform>%n со сроком сегодня или раньше</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n due in the next three days</source>
        <translation>
            <numerusform>%n со сроком в ближайшие три дня</numerusform>
            <numerusform>%n со сроком в ближайшие три дня</numerusform>
            <numerusform>%n со сроком в ближайшие три дня</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n due later or undated</source>
        <translation>
            <numerusform>%n позже или без срока</numerusform>
            <numerusform>%n позже или без срока</numerusform>
            <numerusform>%n позже или без срока</numerusform>
        </translation>
    </message>
    <message>
        <source>repeats %1</source>
        <comment>how a task repeats</comment>
        <translation>повторяется %1</translation>
    </message>
    <message numerus="yes">
        <source>%n task</source>
        <translation>
            <numerusform>%n задача</numerusform>
            <numerusform>%n задачи</numerusform>
            <numerusform>%n задач</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks</source>
        <translation>
            <numerusform>%n задача</numerusform>
            <numerusform>%n задачи</numerusform>
            <numerusform>%n задач</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CalendarImport</name>
    <message>
        <source>Import iCalendar file</source>
        <translation>Импорт файла iCalendar</translation>
    </message>
    <message>
        <source>iCalendar files (*.ics)</source>
        <translation>Файлы iCalendar (*.ics)</translation>
    </message>
    <message numerus="yes">
        <source>%n task added</source>
        <translation>
            <numerusform>%n задача добавлена</numerusform>
            <numerusform>%n задачи добавлены</numerusform>
            <numerusform>%n задач добавлено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks added</source>
        <translation>
            <numerusform>%n задача добавлена</numerusform>
            <numerusform>%n задачи добавлены</numerusform>
            <numerusform>%n задач добавлено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n updated</source>
        <translation>
            <numerusform>%n обновлена</numerusform>
            <numerusform>%n обновлены</numerusform>
            <numerusform>%n обновлено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n task updated</source>
        <translation>
            <numerusform>%n задача обновлена</numerusform>
            <numerusform>%n задачи обновлены</numerusform>
            <numerusform>%n задач обновлено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks updated</source>
        <translation>
            <numerusform>%n задача обновлена</numerusform>
            <numerusform>%n задачи обновлены</numerusform>
            <numerusform>%n задач обновлено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n was here already.</source>
        <translation>
            <numerusform>%n уже была здесь.</numerusform>
            <numerusform>%n уже были здесь.</numerusform>
            <numerusform>%n уже были здесь.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n were here already.</source>
        <translation>
            <numerusform>%n уже была здесь.</numerusform>
            <numerusform>%n уже были здесь.</numerusform>
            <numerusform>%n уже были здесь.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing new: the task of the file is here already.</source>
        <translation>Ничего нового: задача из файла уже здесь.</translation>
    </message>
    <message numerus="yes">
        <source>Nothing new: the %n tasks of the file are here already.</source>
        <translation>
            <numerusform>Ничего нового: %n задача из файла уже здесь.</numerusform>
            <numerusform>Ничего нового: %n задачи из файла уже здесь.</numerusform>
            <numerusform>Ничего нового: %n задач из файла уже здесь.</numerusform>
        </translation>
    </message>
    <message>
        <source>The file could not be read.</source>
        <translation>Не удалось прочитать файл.</translation>
    </message>
    <message numerus="yes">
        <source>%n files could not be read.</source>
        <translation>
            <numerusform>Не удалось прочитать %n файл.</numerusform>
            <numerusform>Не удалось прочитать %n файла.</numerusform>
            <numerusform>Не удалось прочитать %n файлов.</numerusform>
        </translation>
    </message>
    <message>
        <source>No task of the file could be read.</source>
        <translation>Не удалось прочитать ни одной задачи из файла.</translation>
    </message>
    <message>
        <source>No task of the files could be read.</source>
        <translation>Не удалось прочитать ни одной задачи из файлов.</translation>
    </message>
    <message numerus="yes">
        <source>%n task could not be read and was left out.</source>
        <translation>
            <numerusform>%n задачу не удалось прочитать, она пропущена.</numerusform>
            <numerusform>%n задачи не удалось прочитать, они пропущены.</numerusform>
            <numerusform>%n задач не удалось прочитать, они пропущены.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n tasks could not be read and were left out.</source>
        <translation>
            <numerusform>%n задачу не удалось прочитать, она пропущена.</numerusform>
            <numerusform>%n задачи не удалось прочитать, они пропущены.</numerusform>
            <numerusform>%n задач не удалось прочитать, они пропущены.</numerusform>
        </translation>
    </message>
    <message>
        <source>The file holds no tasks.</source>
        <translation>В файле нет задач.</translation>
    </message>
    <message numerus="yes">
        <source>… and %n more.</source>
        <translation>
            <numerusform>… и ещё %n.</numerusform>
            <numerusform>… и ещё %n.</numerusform>
            <numerusform>… и ещё %n.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 is given more than once</source>
        <translation>параметр %1 указан более одного раза</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>для параметра %1 нужно указать значение</translation>
    </message>
    <message>
        <source>unknown option %1</source>
        <translation>неизвестный параметр %1</translation>
    </message>
    <message>
        <source>unexpected argument %1 (a task name with spaces needs quotes)</source>
        <translation>лишний аргумент %1 (название задачи с пробелами нужно заключить в кавычки)</translation>
    </message>
    <message>
        <source>%1 works only together with --add</source>
        <translation>параметр %1 работает только вместе с --add</translation>
    </message>
    <message>
        <source>--add needs the name of the task</source>
        <translation>для --add нужно указать название задачи</translation>
    </message>
    <message>
        <source>cannot read the due date %1: use YYYY-MM-DD, today, tomorrow or a weekday name</source>
        <translation>не удалось распознать срок выполнения %1: укажите YYYY-MM-DD, today, tomorrow или день недели</translation>
    </message>
    <message>
        <source>Usage:</source>
        <translation>Использование:</translation>
    </message>
    <message>
        <source>Without options %1 starts, or brings the running %1 to the front.</source>
        <translation>Без параметров запускается %1, а если %1 уже запущен,
его окно выводится на передний план.</translation>
    </message>
    <message>
        <source>DATE is YYYY-MM-DD, today, tomorrow or a weekday name (friday, fri):
the next such day, today included.</source>
        <translation>DATE — это YYYY-MM-DD, today, tomorrow или название дня недели
(friday, fri, пятница, пт): ближайший такой день, включая сегодняшний.</translation>
    </message>
    <message>
        <source>A running %1 adds the task itself and leaves its window as it is.</source>
        <translation>Если %1 уже запущен, задачу добавляет он сам, а его окно остаётся как есть.</translation>
    </message>
    <message>
        <source>Exit status: 0 done, 1 the task could not be added, 2 a wrong command line,
3 taken by the running %1 but not confirmed as written: it may still appear.</source>
        <translation>Код завершения: 0 — готово, 1 — не удалось добавить задачу,
2 — ошибка в командной строке, 3 — задачу принял запущенный %1, но не подтвердил
её запись: она ещё может появиться.</translation>
    </message>
    <message>
        <source>Add a task named NAME to the Inbox and exit.</source>
        <translation>Добавить задачу с названием NAME во «Входящие» и выйти.</translation>
    </message>
    <message>
        <source>The new task&apos;s notes.</source>
        <translation>Заметки новой задачи.</translation>
    </message>
    <message>
        <source>The new task&apos;s due date.</source>
        <translation>Срок выполнения новой задачи.</translation>
    </message>
    <message>
        <source>Open the install wizard.</source>
        <translation>Открыть мастер установки.</translation>
    </message>
    <message>
        <source>Open the uninstall wizard.</source>
        <translation>Открыть мастер удаления.</translation>
    </message>
    <message>
        <source>Show this help and exit.</source>
        <translation>Показать эту справку и выйти.</translation>
    </message>
    <message>
        <source>Show the version and exit.</source>
        <translation>Показать версию и выйти.</translation>
    </message>
    <message>
        <source>%1 works only together with --sync-account</source>
        <translation>%1 работает только вместе с --sync-account</translation>
    </message>
    <message>
        <source>%1 works only together with --sync or --sync-account</source>
        <translation>%1 работает только вместе с --sync или --sync-account</translation>
    </message>
    <message>
        <source>--sync-account needs --user NAME</source>
        <translation>--sync-account требует --user ИМЯ</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be given together</source>
        <translation>%1 и %2 нельзя указывать вместе</translation>
    </message>
    <message>
        <source>With --sync and --sync-account: 0 synced, 1 sync failed (the message says why),
2 a wrong command line, 4 the server cannot be reached (nothing is lost: try later),
5 the server refused the user name or password.</source>
        <translation>С --sync и --sync-account: 0 — синхронизировано, 1 — синхронизация не удалась (причина в сообщении),
2 — ошибка в командной строке, 4 — сервер недоступен (ничего не потеряно: попробуйте позже),
5 — сервер отклонил имя пользователя или пароль.</translation>
    </message>
    <message>
        <source>Sync the tasks with the CalDAV account once and exit.</source>
        <translation>Один раз синхронизировать задачи с учётной записью CalDAV и выйти.</translation>
    </message>
    <message>
        <source>Set up the CalDAV account at URL (a server or a task list)
                    and pair its task lists with the groups.</source>
        <translation>Настроить учётную запись CalDAV по адресу URL (сервер или список задач)
                    и связать её списки задач с группами.</translation>
    </message>
    <message>
        <source>The account&apos;s user name.</source>
        <translation>Имя пользователя учётной записи.</translation>
    </message>
    <message>
        <source>Read the account&apos;s password from standard input
                    (where no secret store keeps it).</source>
        <translation>Прочитать пароль учётной записи со стандартного ввода
                    (если его не хранит хранилище паролей).</translation>
    </message>
</context>
<context>
    <name>DateWidget</name>
    <message>
        <source>Due date</source>
        <translation>Срок выполнения</translation>
    </message>
</context>
<context>
    <name>DavClient</name>
    <message>
        <source>The server refused the user name or password.</source>
        <translation>Сервер отклонил имя пользователя или пароль.</translation>
    </message>
    <message>
        <source>The server does not allow this for %1.</source>
        <translation>Сервер не разрешает это для %1.</translation>
    </message>
    <message>
        <source>%1 is not on the server.</source>
        <translation>%1 нет на сервере.</translation>
    </message>
    <message>
        <source>%1 was changed on the server in the meantime.</source>
        <translation>%1 тем временем изменён на сервере.</translation>
    </message>
    <message>
        <source>The server failed with status %1 for %2.</source>
        <translation>Сервер вернул ошибку с кодом %1 для %2.</translation>
    </message>
    <message>
        <source>The server refused the request for %1 with status %2.</source>
        <translation>Сервер отклонил запрос для %1 с кодом %2.</translation>
    </message>
    <message>
        <source>The sync was stopped.</source>
        <translation>Синхронизация остановлена.</translation>
    </message>
    <message>
        <source>%1 is not an encrypted (https) address; only this computer may be reached without encryption.</source>
        <translation>%1 — не зашифрованный (https) адрес; без шифрования можно обращаться только к этому компьютеру.</translation>
    </message>
    <message>
        <source>The answer from %1 is larger than 256 MiB.</source>
        <translation>Ответ от %1 больше 256 МиБ.</translation>
    </message>
    <message>
        <source>%1 did not answer within %2 seconds.</source>
        <translation>%1 не ответил за %2 с.</translation>
    </message>
    <message>
        <source>The server&apos;s certificate for %1 is not trusted: %2.</source>
        <translation>Сертификат сервера для %1 не является доверенным: %2.</translation>
    </message>
    <message>
        <source>The connection to %1 failed: %2.</source>
        <translation>Не удалось подключиться к %1: %2.</translation>
    </message>
    <message>
        <source>The connection to %1 broke off before the whole answer arrived.</source>
        <translation>Соединение с %1 оборвалось до получения полного ответа.</translation>
    </message>
    <message>
        <source>The server at %1 redirected nowhere.</source>
        <translation>Сервер %1 перенаправил в никуда.</translation>
    </message>
    <message>
        <source>The server at %1 redirected too many times.</source>
        <translation>Сервер %1 перенаправлял слишком много раз.</translation>
    </message>
    <message>
        <source>The server at %1 redirected to an unencrypted address.</source>
        <translation>Сервер %1 перенаправил на незашифрованный адрес.</translation>
    </message>
    <message>
        <source>The server&apos;s answer is not WebDAV XML.</source>
        <translation>Ответ сервера — не XML WebDAV.</translation>
    </message>
    <message>
        <source>The server&apos;s answer could not be read: %1.</source>
        <translation>Не удалось прочитать ответ сервера: %1.</translation>
    </message>
    <message>
        <source>The server at %1 does not say where this user&apos;s task lists are.</source>
        <translation>Сервер %1 не сообщает, где находятся списки задач этого пользователя.</translation>
    </message>
    <message>
        <source>The server at %1 has no calendar home for this user.</source>
        <translation>На сервере %1 нет папки календарей для этого пользователя.</translation>
    </message>
    <message>
        <source>%1 is not a task list on the server.</source>
        <translation>%1 — не список задач на сервере.</translation>
    </message>
    <message>
        <source>Something already exists at %1 on the server.</source>
        <translation>На сервере по адресу %1 уже что-то есть.</translation>
    </message>
    <message>
        <source>The server no longer knows the state of %1 from the last sync.</source>
        <translation>Сервер больше не знает состояние %1 после последней синхронизации.</translation>
    </message>
    <message>
        <source>The server&apos;s answer for %1 has no sync token.</source>
        <translation>В ответе сервера для %1 нет маркера синхронизации.</translation>
    </message>
    <message>
        <source>A secure connection to %1 could not be made (%2); does the server offer https on that port?</source>
        <translation>Не удалось установить защищённое соединение с %1 (%2); поддерживает ли сервер https на этом порту?</translation>
    </message>
</context>
<context>
    <name>DueReminder</name>
    <message numerus="yes">
        <source>%n task(s) due today</source>
        <translation>
            <numerusform>%n задача на сегодня</numerusform>
            <numerusform>%n задачи на сегодня</numerusform>
            <numerusform>%n задач на сегодня</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n task(s) overdue</source>
        <translation>
            <numerusform>%n задача просрочена</numerusform>
            <numerusform>%n задачи просрочены</numerusform>
            <numerusform>%n задач просрочено</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2</source>
        <comment>tasks due today, tasks overdue</comment>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n overdue</source>
        <translation>
            <numerusform>%n просрочена</numerusform>
            <numerusform>%n просрочены</numerusform>
            <numerusform>%n просрочено</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>and %n more</source>
        <translation>
            <numerusform>и ещё %n</numerusform>
            <numerusform>и ещё %n</numerusform>
            <numerusform>и ещё %n</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>EditGroupDialog</name>
    <message>
        <source>New group</source>
        <translation>Новая группа</translation>
    </message>
    <message>
        <source>Group properties</source>
        <translation>Свойства группы</translation>
    </message>
    <message>
        <source>&lt;strong&gt;Icon selection&lt;/strong&gt;</source>
        <translation>&lt;strong&gt;Выбор значка&lt;/strong&gt;</translation>
    </message>
    <message>
        <source>&lt;strong&gt;Group name&lt;/strong&gt;</source>
        <translation>&lt;strong&gt;Название группы&lt;/strong&gt;</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Please enter a group name to continue...</source>
        <translation>Чтобы продолжить, введите название группы...</translation>
    </message>
    <message>
        <source>Ok, now we all know that you&apos;re funny! Wanna play a real game?</source>
        <translation>Ладно-ладно, все уже поняли, какой вы шутник! Может, сыграем в настоящую игру?</translation>
    </message>
</context>
<context>
    <name>EulaDialog</name>
    <message>
        <source>%1 License Agreement</source>
        <translation>Лицензионное соглашение %1</translation>
    </message>
    <message>
        <source>Scroll down to read the rest of the license agreement.</source>
        <translation>Прокрутите вниз, чтобы прочитать лицензионное соглашение полностью.</translation>
    </message>
    <message>
        <source>Accept</source>
        <translation>Принять</translation>
    </message>
    <message>
        <source>Reject</source>
        <translation>Отклонить</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Unable to read a license file. Please, report this issue.</source>
        <translation>Не удалось прочитать файл лицензии. Пожалуйста, сообщите об этой проблеме.</translation>
    </message>
</context>
<context>
    <name>ExportDialog</name>
    <message>
        <source>Export to</source>
        <translation>Экспорт в файл</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Экспорт</translation>
    </message>
    <message>
        <source>&lt;strong&gt;Select the groups you want to export&lt;/strong&gt;</source>
        <translation>&lt;strong&gt;Выберите группы для экспорта&lt;/strong&gt;</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Выбрать все</translation>
    </message>
    <message>
        <source>Select none</source>
        <translation>Снять все</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Failed to open file &quot;%1&quot; for writing.</source>
        <translation>Не удалось открыть файл «%1» для записи.</translation>
    </message>
    <message>
        <source>Failed to write file &quot;%1&quot;.</source>
        <translation>Не удалось записать файл «%1».</translation>
    </message>
    <message>
        <source>iCalendar files (*.ics)</source>
        <translation>Файлы iCalendar (*.ics)</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Текстовые файлы (*.txt)</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Формат:</translation>
    </message>
    <message>
        <source>Plain text (.txt)</source>
        <translation>Простой текст (.txt)</translation>
    </message>
    <message>
        <source>iCalendar (.ics)</source>
        <translation>iCalendar (.ics)</translation>
    </message>
</context>
<context>
    <name>FancyWizard</name>
    <message>
        <source>&lt; Back</source>
        <translation>&lt; Назад</translation>
    </message>
    <message>
        <source>Next &gt;</source>
        <translation>Далее &gt;</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>Find tasks</source>
        <translation>Поиск задач</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
</context>
<context>
    <name>FocusGroup</name>
    <message>
        <source>Inbox</source>
        <translation>Входящие</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Корзина</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Выполненные</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Сегодня</translation>
    </message>
    <message>
        <source>Upcoming</source>
        <translation>Ближайшие дни</translation>
    </message>
</context>
<context>
    <name>FocusGroupListWidget</name>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Add group</source>
        <translation>Добавить группу</translation>
    </message>
    <message>
        <source>Empty</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Экспорт...</translation>
    </message>
    <message>
        <source>Empty %1</source>
        <translation>Очистить группу «%1»</translation>
    </message>
    <message>
        <source>Do you really want to remove the selected group?</source>
        <translation>Вы действительно хотите удалить выбранную группу?</translation>
    </message>
    <message>
        <source>Once your tasks leave the trash group you can&apos;t get them back. Continue?</source>
        <translation>Задачи, удалённые из «Корзины», восстановить будет невозможно. Продолжить?</translation>
    </message>
    <message>
        <source>New group</source>
        <translation>Создание группы</translation>
    </message>
    <message>
        <source>Edit group</source>
        <translation>Изменение группы</translation>
    </message>
    <message>
        <source>Remove group</source>
        <translation>Удаление группы</translation>
    </message>
    <message>
        <source>Empty Trash</source>
        <translation>Очистка корзины</translation>
    </message>
</context>
<context>
    <name>FocusGroupWidget</name>
    <message>
        <source>Copy to group</source>
        <translation>Копирование в группу</translation>
    </message>
    <message>
        <source>Move to group</source>
        <translation>Перемещение в группу</translation>
    </message>
    <message>
        <source>Move group</source>
        <translation>Перемещение группы</translation>
    </message>
</context>
<context>
    <name>FocusIconCatalogue</name>
    <message>
        <source>Starred</source>
        <translation>Избранное</translation>
    </message>
    <message>
        <source>Blue Star</source>
        <translation>Синяя звезда</translation>
    </message>
    <message>
        <source>Green Star</source>
        <translation>Зелёная звезда</translation>
    </message>
    <message>
        <source>Red Star</source>
        <translation>Красная звезда</translation>
    </message>
    <message>
        <source>Yellow Star</source>
        <translation>Жёлтая звезда</translation>
    </message>
    <message>
        <source>Inbox</source>
        <translation>Входящие</translation>
    </message>
    <message>
        <source>Completed</source>
        <translation>Выполненные</translation>
    </message>
    <message>
        <source>To Check</source>
        <translation>На проверку</translation>
    </message>
    <message>
        <source>Trash</source>
        <translation>Корзина</translation>
    </message>
    <message>
        <source>Home</source>
        <translation>Дом</translation>
    </message>
    <message>
        <source>Internet</source>
        <translation>Интернет</translation>
    </message>
    <message>
        <source>Some Day</source>
        <translation>Когда-нибудь</translation>
    </message>
    <message>
        <source>Party Time</source>
        <translation>Праздник</translation>
    </message>
    <message>
        <source>Calls</source>
        <translation>Звонки</translation>
    </message>
    <message>
        <source>Money</source>
        <translation>Деньги</translation>
    </message>
</context>
<context>
    <name>GroupHintWidget</name>
    <message>
        <source>&lt;html&gt;&lt;head&gt;&lt;style&gt;a { color: #1b75bb; text-decoration: none; } &lt;/style&gt;&lt;/head&gt;&lt;body&gt;This is Inbox, a default group to hold all new incoming tasks.&lt;br&gt;Looks like it&apos;s empty right now. Lets have some fun, &lt;a href=inboxheadstart&gt;click here&lt;/a&gt; to fill it up with some predefined tasks.&lt;br&gt;&lt;br&gt;Use &quot;Add group&quot; from the context menu on the group panel to add another group.&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head&gt;&lt;style&gt;a { color: #1b75bb; text-decoration: none; } &lt;/style&gt;&lt;/head&gt;&lt;body&gt;Это «Входящие» — группа по умолчанию, куда попадают все новые задачи.&lt;br&gt;Похоже, сейчас она пуста. Давайте это исправим: &lt;a href=inboxheadstart&gt;нажмите здесь&lt;/a&gt;, чтобы добавить в неё несколько готовых задач.&lt;br&gt;&lt;br&gt;Чтобы создать ещё одну группу, выберите «Добавить группу» в контекстном меню панели групп.&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Trash group holds all the tasks that you have ever deleted.&lt;br&gt;You can restore deleted tasks by dragging them back to one of the existing groups.&lt;br&gt;&lt;br&gt;If you delete a task from Trash - it&apos;s gone...</source>
        <translation>В группе «Корзина» хранятся все задачи, которые вы когда-либо удаляли.&lt;br&gt;Чтобы восстановить удалённую задачу, перетащите её обратно в одну из существующих групп.&lt;br&gt;&lt;br&gt;Если удалить задачу из «Корзины», она исчезнет навсегда...</translation>
    </message>
    <message>
        <source>This group holds all the tasks that were completed by you and logged.</source>
        <translation>В этой группе хранится история всех выполненных вами задач.</translation>
    </message>
    <message>
        <source>This is your custom group.&lt;br&gt;&lt;br&gt;Add more groups to focus on similar tasks</source>
        <translation>Это ваша собственная группа.&lt;br&gt;&lt;br&gt;Добавляйте новые группы, чтобы сосредоточиться на однотипных задачах</translation>
    </message>
</context>
<context>
    <name>InstallOptionsPage</name>
    <message>
        <source>Installation options</source>
        <translation>Параметры установки</translation>
    </message>
    <message>
        <source>Set installation options and continue.</source>
        <translation>Выберите параметры установки и продолжите.</translation>
    </message>
    <message>
        <source>Start menu items</source>
        <translation>Ярлыки в меню приложений</translation>
    </message>
    <message>
        <source>Desktop icon</source>
        <translation>Ярлык на рабочем столе</translation>
    </message>
</context>
<context>
    <name>InstallProgressPage</name>
    <message>
        <source>Installation progress</source>
        <translation>Ход установки</translation>
    </message>
    <message>
        <source>%1 is being installed, wait for it to finish.</source>
        <translation>Идёт установка %1. Дождитесь её завершения.</translation>
    </message>
    <message>
        <source>Uninstallation progress</source>
        <translation>Ход удаления</translation>
    </message>
    <message>
        <source>%1 is being uninstalled, wait for it to finish.</source>
        <translation>Идёт удаление %1. Дождитесь его завершения.</translation>
    </message>
</context>
<context>
    <name>InstallWizard</name>
    <message>
        <source>Install %1</source>
        <translation>Установка %1</translation>
    </message>
    <message>
        <source>Do you really want to cancel the installation?</source>
        <translation>Вы действительно хотите отменить установку?</translation>
    </message>
    <message>
        <source>%1 was successfully installed!</source>
        <translation>Установка %1 успешно завершена!</translation>
    </message>
    <message>
        <source>Sorry! Installation failed for some reason.</source>
        <translation>К сожалению, по неизвестной причине установка не удалась.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Normal</source>
        <translation>Обычный</translation>
    </message>
    <message>
        <source>Compact</source>
        <translation>Компактный</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Группы</translation>
    </message>
    <message>
        <source>Tasks</source>
        <translation>Задачи</translation>
    </message>
</context>
<context>
    <name>MyCalendar</name>
    <message>
        <source>Previous month</source>
        <translation>Предыдущий месяц</translation>
    </message>
    <message>
        <source>Reset to current date</source>
        <translation>Вернуться к текущей дате</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Следующий месяц</translation>
    </message>
    <message>
        <source>%0, %1</source>
        <translation>%0 %1</translation>
    </message>
</context>
<context>
    <name>MyCalendarMonthWidget</name>
    <message>
        <source>Today</source>
        <translation>Сегодня</translation>
    </message>
</context>
<context>
    <name>PasswordPrompt</name>
    <message>
        <source>%1 Sync</source>
        <translation>Синхронизация %1</translation>
    </message>
    <message>
        <source>The server refused the password for %1 at %2. Enter it again:</source>
        <translation>Сервер отклонил пароль пользователя %1 на %2. Введите его ещё раз:</translation>
    </message>
    <message>
        <source>Enter the password for %1 at %2:</source>
        <translation>Введите пароль пользователя %1 на %2:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Пароль</translation>
    </message>
</context>
<context>
    <name>PrefsDialog</name>
    <message>
        <source>%1 Preferences</source>
        <translation>Настройки %1</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Show notifications</source>
        <translation>Показывать уведомления</translation>
    </message>
    <message>
        <source>Run on system startup</source>
        <translation>Запускать при старте системы</translation>
    </message>
    <message>
        <source>Open window on startup</source>
        <translation>Открывать окно при запуске</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Синхронизация</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>New</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Toggle view</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>Cleanup</source>
        <translation>Уборка</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Найти</translation>
    </message>
    <message>
        <source>New task</source>
        <translation>Новая задача</translation>
    </message>
    <message>
        <source>Edit the selected task</source>
        <translation>Изменить выбранную задачу</translation>
    </message>
    <message>
        <source>Move the completed tasks to Completed</source>
        <translation>Переместить выполненные задачи в «Выполненные»</translation>
    </message>
    <message>
        <source>Show or hide the group panel</source>
        <translation>Показать или скрыть панель групп</translation>
    </message>
    <message>
        <source>Find tasks</source>
        <translation>Поиск задач</translation>
    </message>
    <message>
        <source>Sync now</source>
        <translation>Синхронизировать</translation>
    </message>
    <message>
        <source>Exchange the changes with the server now</source>
        <translation>Обменяться изменениями с сервером сейчас</translation>
    </message>
    <message>
        <source>Import iCalendar file…</source>
        <translation>Импорт файла iCalendar…</translation>
    </message>
    <message>
        <source>Add the tasks of an iCalendar file (.ics) to the group shown</source>
        <translation>Добавить задачи из файла iCalendar (.ics) в показанную группу</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>Отменить: %1</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Повторить: %1</translation>
    </message>
</context>
<context>
    <name>QuickCapture</name>
    <message>
        <source>%1: the task database %2 was written by a newer version of %3; nothing was changed</source>
        <translation>%1: база данных задач %2 записана более новой версией %3; ничего не изменено</translation>
    </message>
    <message>
        <source>%1: the task database %2 cannot be read; nothing was changed (start %3 to deal with it)</source>
        <translation>%1: не удаётся прочитать базу данных задач %2; ничего не изменено (запустите %3, чтобы решить проблему)</translation>
    </message>
    <message>
        <source>%1: the task could not be written to %2</source>
        <translation>%1: не удалось записать задачу в %2</translation>
    </message>
    <message>
        <source>%1: the task is too long to hand to the running %2</source>
        <translation>%1: задача слишком длинная, чтобы передать её запущенному %2</translation>
    </message>
    <message>
        <source>%1: the running %2 did not take the task</source>
        <translation>%1: запущенный %2 не принял задачу</translation>
    </message>
    <message>
        <source>%1: the running %2 cannot take tasks now (it is waiting for an answer in its window); the task was not added</source>
        <translation>%1: запущенный %2 сейчас не может принимать задачи (он ждёт ответа в своём окне); задача не добавлена</translation>
    </message>
    <message>
        <source>%1: the running %2 did not confirm the task in time; it may still be added, so look before adding it again</source>
        <translation>%1: запущенный %2 не подтвердил задачу вовремя; она ещё может появиться, поэтому проверьте, прежде чем добавлять её снова</translation>
    </message>
    <message>
        <source>%1: the running %2 took the task but cannot write it to the disk yet; it keeps trying (its window says why)</source>
        <translation>%1: запущенный %2 принял задачу, но пока не может записать её на диск; он продолжает попытки (причина указана в его окне)</translation>
    </message>
    <message>
        <source>%1: another process keeps the task database %2 busy; the task was not added</source>
        <translation>%1: база данных задач %2 занята другим процессом; задача не добавлена</translation>
    </message>
</context>
<context>
    <name>RepeatButton</name>
    <message>
        <source>Does not repeat</source>
        <translation>Не повторяется</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Ежедневно</translation>
    </message>
    <message>
        <source>Weekly on %1</source>
        <translation>Еженедельно: %1</translation>
    </message>
    <message>
        <source>Weekdays (%1 to %2)</source>
        <translation>По будням (%1 — %2)</translation>
    </message>
    <message>
        <source>Monthly on day %1</source>
        <translation>Ежемесячно, %1-го числа</translation>
    </message>
    <message>
        <source>Monthly on the last day</source>
        <translation>Ежемесячно, в последний день</translation>
    </message>
    <message>
        <source>Yearly on %1</source>
        <translation>Ежегодно, %1</translation>
    </message>
    <message>
        <source>Custom…</source>
        <translation>Настроить…</translation>
    </message>
</context>
<context>
    <name>RepeatDialog</name>
    <message>
        <source>day</source>
        <translation>день</translation>
    </message>
    <message numerus="yes">
        <source>days</source>
        <comment>every N days</comment>
        <translation>
            <numerusform>день</numerusform>
            <numerusform>дня</numerusform>
            <numerusform>дней</numerusform>
        </translation>
    </message>
    <message>
        <source>week</source>
        <translation>неделю</translation>
    </message>
    <message numerus="yes">
        <source>weeks</source>
        <comment>every N weeks</comment>
        <translation>
            <numerusform>неделю</numerusform>
            <numerusform>недели</numerusform>
            <numerusform>недель</numerusform>
        </translation>
    </message>
    <message>
        <source>month</source>
        <translation>месяц</translation>
    </message>
    <message numerus="yes">
        <source>months</source>
        <comment>every N months</comment>
        <translation>
            <numerusform>месяц</numerusform>
            <numerusform>месяца</numerusform>
            <numerusform>месяцев</numerusform>
        </translation>
    </message>
    <message>
        <source>year</source>
        <translation>год</translation>
    </message>
    <message numerus="yes">
        <source>years</source>
        <comment>every N years</comment>
        <translation>
            <numerusform>год</numerusform>
            <numerusform>года</numerusform>
            <numerusform>лет</numerusform>
        </translation>
    </message>
    <message>
        <source>Repeat</source>
        <translation>Повтор</translation>
    </message>
    <message>
        <source>Every</source>
        <translation>Раз в</translation>
    </message>
    <message>
        <source>On</source>
        <translation>В дни</translation>
    </message>
    <message>
        <source>On day</source>
        <translation>Число</translation>
    </message>
    <message>
        <source>Day of the month</source>
        <translation>Число месяца</translation>
    </message>
    <message>
        <source>On the last day</source>
        <translation>В последний день</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
</context>
<context>
    <name>RepeatText</name>
    <message>
        <source>d MMMM</source>
        <comment>day and month of a yearly repeat, a QDate format</comment>
        <translation>d MMMM</translation>
    </message>
    <message>
        <source>every day</source>
        <translation>каждый день</translation>
    </message>
    <message numerus="yes">
        <source>every %n days</source>
        <translation>
            <numerusform>каждый %n день</numerusform>
            <numerusform>каждые %n дня</numerusform>
            <numerusform>каждые %n дней</numerusform>
        </translation>
    </message>
    <message>
        <source>every week</source>
        <translation>каждую неделю</translation>
    </message>
    <message numerus="yes">
        <source>every %n weeks</source>
        <translation>
            <numerusform>каждую %n неделю</numerusform>
            <numerusform>каждые %n недели</numerusform>
            <numerusform>каждые %n недель</numerusform>
        </translation>
    </message>
    <message>
        <source>every weekday (%1 to %2)</source>
        <translation>по будням (%1 — %2)</translation>
    </message>
    <message>
        <source>, </source>
        <comment>between weekdays</comment>
        <translation>, </translation>
    </message>
    <message>
        <source>every week on %1</source>
        <translation>каждую неделю: %1</translation>
    </message>
    <message numerus="yes">
        <source>every %n weeks on %1</source>
        <translation>
            <numerusform>каждую %n неделю: %1</numerusform>
            <numerusform>каждые %n недели: %1</numerusform>
            <numerusform>каждые %n недель: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>every month on the last day</source>
        <translation>каждый месяц в последний день</translation>
    </message>
    <message numerus="yes">
        <source>every %n months on the last day</source>
        <translation>
            <numerusform>каждый %n месяц в последний день</numerusform>
            <numerusform>каждые %n месяца в последний день</numerusform>
            <numerusform>каждые %n месяцев в последний день</numerusform>
        </translation>
    </message>
    <message>
        <source>every month</source>
        <translation>каждый месяц</translation>
    </message>
    <message numerus="yes">
        <source>every %n months</source>
        <translation>
            <numerusform>каждый %n месяц</numerusform>
            <numerusform>каждые %n месяца</numerusform>
            <numerusform>каждые %n месяцев</numerusform>
        </translation>
    </message>
    <message>
        <source>every month on day %1</source>
        <translation>каждый месяц, %1-го числа</translation>
    </message>
    <message numerus="yes">
        <source>every %n months on day %1</source>
        <translation>
            <numerusform>каждый %n месяц, %1-го числа</numerusform>
            <numerusform>каждые %n месяца, %1-го числа</numerusform>
            <numerusform>каждые %n месяцев, %1-го числа</numerusform>
        </translation>
    </message>
    <message>
        <source>every year</source>
        <translation>каждый год</translation>
    </message>
    <message numerus="yes">
        <source>every %n years</source>
        <translation>
            <numerusform>каждый %n год</numerusform>
            <numerusform>каждые %n года</numerusform>
            <numerusform>каждые %n лет</numerusform>
        </translation>
    </message>
    <message>
        <source>every year on %1</source>
        <translation>каждый год, %1</translation>
    </message>
    <message numerus="yes">
        <source>every %n years on %1</source>
        <translation>
            <numerusform>каждый %n год, %1</numerusform>
            <numerusform>каждые %n года, %1</numerusform>
            <numerusform>каждые %n лет, %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Does not repeat</source>
        <translation>Не повторяется</translation>
    </message>
    <message>
        <source>Repeats: %1</source>
        <translation>Повтор: %1</translation>
    </message>
</context>
<context>
    <name>SecretStore</name>
    <message>
        <source>there is no secret store on this desktop</source>
        <translation>в этой среде рабочего стола нет хранилища паролей</translation>
    </message>
    <message>
        <source>the secret store refused access</source>
        <translation>хранилище паролей отказало в доступе</translation>
    </message>
    <message>
        <source>no secret store answered (%1)</source>
        <translation>хранилище паролей не ответило (%1)</translation>
    </message>
</context>
<context>
    <name>SyncAccount</name>
    <message>
        <source>The password cannot be read: %1.</source>
        <translation>Не удаётся прочитать пароль: %1.</translation>
    </message>
    <message>
        <source>The password is kept until %1 ends, not stored: %2.</source>
        <translation>Пароль хранится до завершения %1, но не сохраняется: %2.</translation>
    </message>
    <message>
        <source>Enter the address of the server.</source>
        <translation>Введите адрес сервера.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a server address.</source>
        <translation>«%1» — не адрес сервера.</translation>
    </message>
    <message>
        <source>Plain http is only for a server on this computer: use https.</source>
        <translation>Простой http — только для сервера на этом компьютере: используйте https.</translation>
    </message>
</context>
<context>
    <name>SyncCommand</name>
    <message>
        <source>%1: no sync account is set up (use --sync-account URL --user NAME)</source>
        <translation>%1: учётная запись синхронизации не настроена (используйте --sync-account URL --user ИМЯ)</translation>
    </message>
    <message>
        <source>%1: no password: give it with --password-stdin, or store it in the secret store</source>
        <translation>%1: нет пароля: передайте его через --password-stdin или сохраните в хранилище паролей</translation>
    </message>
    <message>
        <source>%1: standard input held no password</source>
        <translation>%1: на стандартном вводе не было пароля</translation>
    </message>
    <message>
        <source>%1: the task database %2 cannot be read; nothing was synced</source>
        <translation>%1: не удаётся прочитать базу задач %2; ничего не синхронизировано</translation>
    </message>
    <message>
        <source>%1: another process keeps the task database %2 busy; nothing was synced</source>
        <translation>%1: база задач %2 занята другим процессом; ничего не синхронизировано</translation>
    </message>
    <message>
        <source>%1: the running %2 did not answer in time</source>
        <translation>%1: запущенный %2 не ответил вовремя</translation>
    </message>
    <message>
        <source>%1: the running %2 cannot sync now (it is waiting for an answer in its window)</source>
        <translation>%1: запущенный %2 сейчас не может синхронизировать (он ждёт ответа в своём окне)</translation>
    </message>
    <message>
        <source>%1: sync failed: %2</source>
        <translation>%1: синхронизация не удалась: %2</translation>
    </message>
    <message>
        <source>%1: the server cannot be reached (%2); nothing is lost, try again later</source>
        <translation>%1: сервер недоступен (%2); ничего не потеряно, попробуйте позже</translation>
    </message>
    <message>
        <source>%1: the server refused the user name or password</source>
        <translation>%1: сервер отклонил имя пользователя или пароль</translation>
    </message>
    <message>
        <source>Synced: %1 received, %2 sent, %3 conflicts kept</source>
        <translation>Синхронизировано: получено %1, отправлено %2, сохранено конфликтов %3</translation>
    </message>
    <message>
        <source>The account is set up; task lists paired with groups: %1</source>
        <translation>Учётная запись настроена; списков задач, связанных с группами: %1</translation>
    </message>
    <message>
        <source>Synced by the running %1</source>
        <translation>Синхронизировано запущенным %1</translation>
    </message>
    <message>
        <source>The account is set up in the running %1</source>
        <translation>Учётная запись настроена в запущенном %1</translation>
    </message>
    <message>
        <source>the running %1 says why in its window</source>
        <translation>запущенный %1 сообщает причину в своём окне</translation>
    </message>
    <message>
        <source>%1: %2 tasks on the server could not be read and were left alone</source>
        <translation>%1: не удалось прочитать задачи на сервере (%2), они оставлены как есть</translation>
    </message>
</context>
<context>
    <name>SyncPass</name>
    <message>
        <source>The new groups could not be written to the database.</source>
        <translation>Не удалось записать новые группы в базу данных.</translation>
    </message>
    <message>
        <source>The changes from the server could not be written to the database; they are fetched again next time.</source>
        <translation>Не удалось записать изменения с сервера в базу данных; в следующий раз они будут получены снова.</translation>
    </message>
    <message>
        <source>The sync state could not be written (%1).</source>
        <translation>Не удалось записать состояние синхронизации (%1).</translation>
    </message>
</context>
<context>
    <name>SyncPrefsPage</name>
    <message>
        <source>&amp;Server address:</source>
        <translation>&amp;Адрес сервера:</translation>
    </message>
    <message>
        <source>example.org or https://example.org/dav/tasks/</source>
        <translation>example.org или https://example.org/dav/tasks/</translation>
    </message>
    <message>
        <source>The address of a task list, or just the server&apos;s name. Empty: sync is off.</source>
        <translation>Адрес списка задач или просто имя сервера. Пусто — синхронизация выключена.</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Имя пользователя:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Пароль:</translation>
    </message>
    <message>
        <source>Stored: leave empty to keep it</source>
        <translation>Сохранён: пусто — без изменений</translation>
    </message>
    <message>
        <source>Sync &amp;every:</source>
        <translation>Синхронизировать &amp;каждые:</translation>
    </message>
    <message>
        <source>Sync &amp;now</source>
        <translation>Синхронизировать &amp;сейчас</translation>
    </message>
    <message>
        <source>&amp;Groups and the server lists they sync with:</source>
        <translation>&amp;Группы и списки на сервере, с которыми они синхронизируются:</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>Группа</translation>
    </message>
    <message>
        <source>Server list</source>
        <translation>Список на сервере</translation>
    </message>
    <message>
        <source>No group syncs with a server list yet: the first sync pairs them.</source>
        <translation>Пока ни одна группа не синхронизируется со списком на сервере: первая синхронизация свяжет их.</translation>
    </message>
    <message>
        <source>Enter your user name on the server.</source>
        <translation>Введите имя пользователя на сервере.</translation>
    </message>
    <message>
        <source>Enter your password on the server.</source>
        <translation>Введите пароль на сервере.</translation>
    </message>
    <message numerus="yes">
        <source> minute</source>
        <comment>sync interval</comment>
        <translation>
            <numerusform> минута</numerusform>
            <numerusform> минуты</numerusform>
            <numerusform> минут</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> minutes</source>
        <comment>sync interval</comment>
        <translation>
            <numerusform> минута</numerusform>
            <numerusform> минуты</numerusform>
            <numerusform> минут</numerusform>
        </translation>
    </message>
    <message>
        <source>Sync is off</source>
        <translation>Синхронизация выключена</translation>
    </message>
    <message>
        <source>Received %1, sent %2, conflicts %3, skipped objects %4</source>
        <translation>Получено %1, отправлено %2, конфликтов %3, пропущено объектов %4</translation>
    </message>
    <message>
        <source>Last synced: %1</source>
        <translation>Последняя синхронизация: %1</translation>
    </message>
</context>
<context>
    <name>SyncStatusMark</name>
    <message>
        <source>Sync soon</source>
        <translation>Синхр. скоро</translation>
    </message>
    <message>
        <source>Syncing…</source>
        <translation>Синхронизация…</translation>
    </message>
    <message>
        <source>Synced %1</source>
        <translation>Синхр. %1</translation>
    </message>
    <message>
        <source>Offline</source>
        <translation>Нет связи</translation>
    </message>
    <message>
        <source>Check sync</source>
        <translation>Проверить</translation>
    </message>
</context>
<context>
    <name>TaskListWidget</name>
    <message>
        <source>Submit your ideas on features, any likes and dislikes</source>
        <translation>Поделиться идеями о новых функциях, рассказать, что нравится и что нет</translation>
    </message>
    <message>
        <source>Visit %1 to submit ideas</source>
        <translation>Предложить свои идеи можно на сайте %1</translation>
    </message>
    <message>
        <source>Create a focus group</source>
        <translation>Создать свою группу</translation>
    </message>
    <message>
        <source>Right-click anywhere on the left panel and select &quot;Add group&quot; menu.</source>
        <translation>Щёлкните правой кнопкой мыши в любом месте левой панели и выберите пункт меню «Добавить группу».</translation>
    </message>
    <message>
        <source>Support the team and development</source>
        <translation>Поддержать команду и разработку</translation>
    </message>
    <message>
        <source>Visit %1 and make a donation to support the team if you like the software.</source>
        <translation>Если вам нравится программа, поддержите команду пожертвованием на сайте %1.</translation>
    </message>
    <message>
        <source>Have a coffee :)</source>
        <translation>Выпить кофе :)</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>Выполнение</translation>
    </message>
    <message>
        <source>Reopen</source>
        <translation>Возобновление</translation>
    </message>
    <message>
        <source>New task</source>
        <translation>Новая задача</translation>
    </message>
    <message>
        <source>Cleanup</source>
        <translation>Уборка</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удаление</translation>
    </message>
    <message>
        <source>Add examples</source>
        <translation>Добавление примеров</translation>
    </message>
    <message>
        <source>Reorder</source>
        <translation>Изменение порядка</translation>
    </message>
</context>
<context>
    <name>TaskMerge</name>
    <message>
        <source>——— Kept from a conflicting edit ———</source>
        <translation>——— Сохранено из конфликтующей правки ———</translation>
    </message>
    <message>
        <source>——— Kept from a conflicting edit (%1) ———</source>
        <translation>——— Сохранено из конфликтующей правки (%1) ———</translation>
    </message>
    <message>
        <source>Name: %1</source>
        <translation>Название: %1</translation>
    </message>
</context>
<context>
    <name>TaskStorageCommiter</name>
    <message>
        <source>cannot create %1: %2</source>
        <translation>не удаётся создать %1: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>cannot replace %1: %2</source>
        <translation>не удаётся заменить %1: %2</translation>
    </message>
    <message>
        <source>no room left on the disk</source>
        <translation>на диске не осталось места</translation>
    </message>
</context>
<context>
    <name>TaskWidget</name>
    <message>
        <source>Task name</source>
        <translation>Название задачи</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Заметки</translation>
    </message>
    <message>
        <source>&lt;Unnamed task&gt;</source>
        <translation>&lt;Задача без названия&gt;</translation>
    </message>
    <message>
        <source>Today</source>
        <comment>due date</comment>
        <translation>Сегодня</translation>
    </message>
    <message>
        <source>Tomorrow</source>
        <comment>due date</comment>
        <translation>Завтра</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>Выполнение</translation>
    </message>
    <message>
        <source>Reopen</source>
        <translation>Возобновление</translation>
    </message>
    <message>
        <source>Edit task</source>
        <translation>Изменение задачи</translation>
    </message>
</context>
<context>
    <name>Toolbar</name>
    <message>
        <source>Menu</source>
        <translation>Меню</translation>
    </message>
    <message>
        <source>Program menu (%1)</source>
        <translation>Меню программы (%1)</translation>
    </message>
    <message>
        <source>Commands</source>
        <translation>Команды</translation>
    </message>
</context>
<context>
    <name>TrayIcon</name>
    <message>
        <source>Show %1</source>
        <translation>Показать %1</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Экспорт...</translation>
    </message>
    <message>
        <source>Preferences...</source>
        <translation>Настройки...</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>New version</source>
        <translation>Новая версия</translation>
    </message>
    <message>
        <source>A new version %1 is available! Click here to download.</source>
        <translation>Доступна новая версия %1! Нажмите здесь, чтобы скачать её.</translation>
    </message>
    <message>
        <source>Your changes cannot be saved to the disk: %1</source>
        <translation>Не удаётся сохранить ваши изменения на диск: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
</context>
<context>
    <name>UndoCommands</name>
    <message>
        <source>Cannot undo %1: %2</source>
        <translation>Не удалось отменить «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot redo %1: %2</source>
        <translation>Не удалось повторить «%1»: %2</translation>
    </message>
    <message>
        <source>Undone: %1</source>
        <translation>Отменено: %1</translation>
    </message>
    <message>
        <source>Redone: %1</source>
        <translation>Повторено: %1</translation>
    </message>
</context>
<context>
    <name>UndoHistory</name>
    <message>
        <source>Finish the current change first</source>
        <translation>Сначала завершите текущее изменение</translation>
    </message>
    <message>
        <source>The task was deleted elsewhere</source>
        <translation>Задача удалена в другом месте</translation>
    </message>
    <message>
        <source>The tasks were deleted elsewhere</source>
        <translation>Задачи удалены в другом месте</translation>
    </message>
    <message>
        <source>The group was removed elsewhere</source>
        <translation>Группа удалена в другом месте</translation>
    </message>
</context>
<context>
    <name>UninstallOptionsPage</name>
    <message>
        <source>Remove user data</source>
        <translation>Удалить данные пользователя</translation>
    </message>
    <message>
        <source>Uninstall options</source>
        <translation>Параметры удаления</translation>
    </message>
    <message>
        <source>Set uninstall options and continue.</source>
        <translation>Выберите параметры удаления и продолжите.</translation>
    </message>
</context>
<context>
    <name>UninstallWizard</name>
    <message>
        <source>Uninstall %1</source>
        <translation>Удаление %1</translation>
    </message>
</context>
<context>
    <name>WelcomePage</name>
    <message>
        <source>Welcome</source>
        <translation>Добро пожаловать</translation>
    </message>
    <message>
        <source>Welcome to %1 installation wizard.</source>
        <translation>Вас приветствует мастер установки %1.</translation>
    </message>
    <message>
        <source>&lt;p&gt;You are about to install %1.&lt;/p&gt;&lt;p&gt;%1 is a simple task manager that keeps your tasks in focus groups, so that you see what matters now and nothing else.&lt;/p&gt;&lt;p&gt;Visit &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; for more information.&lt;/p&gt;</source>
        <translation>&lt;p&gt;Вы собираетесь установить %1.&lt;/p&gt;&lt;p&gt;%1 — простой менеджер задач. Он распределяет задачи по группам, чтобы вы видели только то, что важно сейчас, и ничего лишнего.&lt;/p&gt;&lt;p&gt;Подробнее — на сайте &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt;.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>WriteFailureBar</name>
    <message>
        <source>Changes are not saved</source>
        <translation>Изменения не сохранены</translation>
    </message>
    <message>
        <source>Your changes cannot be saved to the disk: %1. %2 keeps trying; quitting now keeps a rescue copy of your tasks.</source>
        <translation>Не удаётся сохранить ваши изменения на диск: %1. %2 продолжает попытки; если выйти сейчас, ваши задачи будут сохранены в резервную копию.</translation>
    </message>
</context>
<context>
    <name>install::InstallWorker</name>
    <message>
        <source>Installing files...</source>
        <translation>Установка файлов...</translation>
    </message>
    <message>
        <source>Creating links...</source>
        <translation>Создание ярлыков...</translation>
    </message>
    <message>
        <source>Removing user data...</source>
        <translation>Удаление данных пользователя...</translation>
    </message>
    <message>
        <source>Creating uninstall keys...</source>
        <translation>Регистрация средства удаления...</translation>
    </message>
    <message>
        <source>Done.</source>
        <translation>Готово.</translation>
    </message>
    <message>
        <source>Installation failed.</source>
        <translation>Установка не удалась.</translation>
    </message>
    <message>
        <source>Rolling back...</source>
        <translation>Отмена изменений...</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>&lt;p&gt;The task database was created with a newer version of %1 application.&lt;/p&gt;&lt;p&gt;Please visit &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; to upgrade your installation.&lt;/p&gt;</source>
        <translation>&lt;p&gt;База данных задач создана более новой версией приложения %1.&lt;/p&gt;&lt;p&gt;Чтобы обновить программу, посетите сайт &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt;.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;p&gt;Task database failed to load for some reason. %1 can not continue to avoid further database corruption.&lt;/p&gt;&lt;p&gt;Please visit &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt; and request help.&lt;/p&gt;</source>
        <translation>&lt;p&gt;По неизвестной причине не удалось загрузить базу данных задач. %1 не может продолжить работу, чтобы не допустить дальнейшего повреждения базы данных.&lt;/p&gt;&lt;p&gt;Обратитесь за помощью на сайт &lt;a href=&quot;%2&quot;&gt;%3&lt;/a&gt;.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>%1 installation</source>
        <translation>Установка %1</translation>
    </message>
    <message>
        <source>%1 uninstallation</source>
        <translation>Удаление %1</translation>
    </message>
    <message>
        <source>Please close all %1 windows, exit from tray icon and try again.</source>
        <translation>Закройте все окна %1, завершите работу программы через значок в области уведомлений и повторите попытку.</translation>
    </message>
    <message>
        <source>The task database is damaged. Start with the backup from %1 (1 task)?</source>
        <translation>База данных задач повреждена. Начать с резервной копии от %1 (1 задача)?</translation>
    </message>
    <message numerus="yes">
        <source>The task database is damaged. Start with the backup from %1 (%n tasks)?</source>
        <translation>
            <numerusform>База данных задач повреждена. Начать с резервной копии от %1 (%n задача)?</numerusform>
            <numerusform>База данных задач повреждена. Начать с резервной копии от %1 (%n задачи)?</numerusform>
            <numerusform>База данных задач повреждена. Начать с резервной копии от %1 (%n задач)?</numerusform>
        </translation>
    </message>
    <message>
        <source>When %1 last ended it could not write your tasks to %2. Your tasks as they were then are kept in this copy:

%3

To go on from the copy, quit %1 and put the copy in place of %2.</source>
        <translation>При последнем завершении %1 не смог записать ваши задачи в %2. Задачи в том виде, в каком они были тогда, сохранены в копии:

%3

Чтобы продолжить работу с этой копией, выйдите из %1 и поместите копию на место %2.</translation>
    </message>
</context>
<context>
    <name>sync::SyncService</name>
    <message>
        <source>Sync is off</source>
        <translation>Синхронизация выключена</translation>
    </message>
    <message>
        <source>Sync needs the password</source>
        <translation>Для синхронизации нужен пароль</translation>
    </message>
    <message>
        <source>Sync starts soon</source>
        <translation>Синхронизация скоро начнётся</translation>
    </message>
    <message>
        <source>Syncing…</source>
        <translation>Синхронизация…</translation>
    </message>
    <message>
        <source>Synced at %1</source>
        <translation>Синхронизировано в %1</translation>
    </message>
    <message>
        <source>Offline: changes are sent when the server can be reached</source>
        <translation>Нет связи: изменения будут отправлены, когда сервер станет доступен</translation>
    </message>
    <message>
        <source>Offline: %1</source>
        <translation>Нет связи: %1</translation>
    </message>
    <message>
        <source>Sync needs attention: %1</source>
        <translation>Синхронизация требует внимания: %1</translation>
    </message>
    <message>
        <source>no password was given</source>
        <translation>пароль не указан</translation>
    </message>
</context>
</TS>
