#include "support/testenv.h"
#include "support/uitestkit.h"

#include "core/taskcore.h"
#include "settings/appsettings.h"
#include "store/repeatrule.h"
#include "store/taskstorage.h"
#include "ui/repeatbutton.h"
#include "ui/repeattext.h"
#include "ui/taskwidget.h"
#include "widgets/datewidget.h"
#include "widgets/fancylineedit.h"

#include <QActionGroup>
#include <QApplication>
#include <QMenu>

#include <functional>

namespace {

using uitest::store;

const QDate kWednesday(2030, 1, 9);
QDate fixedDay() { return kWednesday; }

/// Opens the button's menu with `key` and hands it to `use` while it is shown.
void withMenu(RepeatButton* button, Qt::Key key, const std::function<void(QMenu*)>& use)
{
    bool used = false;
    QTimer::singleShot(0, button, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        used = menu == button->repeatMenu();
        if (menu)
            use(menu);
        // A failed check leaves the menu open, which would hold the test.
        if (menu && menu->isVisible())
            menu->close();
    });
    QTest::keyClick(button, key);
    QVERIFY(used);
}

/// Chooses the menu entry named `name` as a user does: highlighted, then Return.
void choose(QMenu* menu, const QString& name)
{
    menu->setActiveAction(menu->findChild<QAction*>(name));
    QTest::keyClick(menu, Qt::Key_Return);
}

QString checkedEntry(QMenu* menu)
{
    const QAction* checked = menu->findChild<QActionGroup*>()->checkedAction();
    return checked ? checked->objectName() : QString();
}

} // namespace

class TstRepeatButton : public QObject
{
    Q_OBJECT

    uitest::TempStore m_store;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        AppSettings::settings()->setDateFormat(QStringLiteral("dd.MM.yyyy"));
        TaskWidget::setClock(fixedDay);
    }

    void ruleInWords_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QDate>("due");
        QTest::addColumn<QString>("words");
        const QDate none;
        QTest::newRow("none") << "" << none << "Does not repeat";
        QTest::newRow("daily") << "FREQ=DAILY" << none << "Every day";
        QTest::newRow("every 3 days") << "FREQ=DAILY;INTERVAL=3" << none << "Every 3 days";
        QTest::newRow("weekly, days of the rule in the week's order") << "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,TH,SU" << none
                                                                       << "Every 2 weeks on Sunday, Monday, Thursday";
        QTest::newRow("weekly, the due date's day") << "FREQ=WEEKLY" << kWednesday << "Every week on Wednesday";
        QTest::newRow("weekdays") << "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR" << none << "Every weekday (Monday to Friday)";
        QTest::newRow("last day") << "FREQ=MONTHLY;BYMONTHDAY=-1" << none << "Every month on the last day";
        QTest::newRow("quarterly") << "FREQ=MONTHLY;INTERVAL=3;BYMONTHDAY=15" << none << "Every 3 months on day 15";
        QTest::newRow("yearly") << "FREQ=YEARLY" << kWednesday << "Every year on 9 January";
        QTest::newRow("every 2 years") << "FREQ=YEARLY;INTERVAL=2" << none << "Every 2 years";
    }

    void ruleInWords()
    {
        QFETCH(QString, rule);
        QFETCH(QDate, due);
        QFETCH(QString, words);
        QCOMPARE(RepeatText::describe(RepeatRule::parse(rule), due), words);
    }

    void menuEntrySetsTheRule_data()
    {
        QTest::addColumn<QDate>("due");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("stored");
        const QDate lastDay(2030, 1, 31);
        QTest::newRow("daily") << kWednesday << "repeatDaily" << "Daily" << "FREQ=DAILY";
        QTest::newRow("weekly") << kWednesday << "repeatWeekly" << "Weekly on Wednesday" << "FREQ=WEEKLY;BYDAY=WE";
        QTest::newRow("weekdays") << kWednesday << "repeatWeekdays" << "Weekdays (Monday to Friday)" << "FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR";
        QTest::newRow("monthly") << kWednesday << "repeatMonthly" << "Monthly on day 9" << "FREQ=MONTHLY;BYMONTHDAY=9";
        QTest::newRow("monthly, last day") << lastDay << "repeatMonthlyLast" << "Monthly on the last day" << "FREQ=MONTHLY;BYMONTHDAY=-1";
        QTest::newRow("yearly") << kWednesday << "repeatYearly" << "Yearly on 9 January" << "FREQ=YEARLY";
        // Without a due date the first occurrence is today.
        QTest::newRow("undated") << QDate() << "repeatWeekly" << "Weekly on Wednesday" << "FREQ=WEEKLY;BYDAY=WE";
    }

    void menuEntrySetsTheRule()
    {
        QFETCH(QDate, due);
        QFETCH(QString, entry);
        QFETCH(QString, text);
        QFETCH(QString, stored);
        const FocusGroup::Id groupId = uitest::makeGroup({});
        const TodoTask::Id id = uitest::addTask(groupId, QStringLiteral("Water the plants"));
        if (due.isValid())
            store()->setTaskDue(id, QDateTime(due, QTime(0, 0)));
        uitest::ListWindow w(groupId);
        QVERIFY(w.show());
        w.list->setEditing(0);
        TaskWidget* row = w.list->row(0);
        RepeatButton* button = row->repeatButton();
        // Space opens the menu.
        button->setFocus();
        withMenu(button, Qt::Key_Space, [&](QMenu* menu) {
            QCOMPARE(checkedEntry(menu), QStringLiteral("repeatNever"));
            QCOMPARE(menu->findChild<QAction*>(entry)->text(), text);
            QCOMPARE(bool(menu->findChild<QAction*>(QStringLiteral("repeatMonthlyLast"))), due == QDate(2030, 1, 31));
            choose(menu, entry);
        });
        QCOMPARE(store()->task(id).repeatRule(), stored);
        const QDate first = due.isValid() ? due : kWednesday;
        QCOMPARE(store()->task(id).due(), QDateTime(first, QTime(0, 0)));
        QCOMPARE(row->dateWidget()->edit()->text(), first.toString(QStringLiteral("dd.MM.yyyy")));
        QVERIFY(button->toolTip().startsWith(QLatin1String("Repeats: every ")));

        // Return opens the menu as well; the rule is checked there, and "Does not repeat" ends it.
        withMenu(button, Qt::Key_Return, [&](QMenu* menu) {
            QCOMPARE(checkedEntry(menu), entry);
            choose(menu, QStringLiteral("repeatNever"));
        });
        QVERIFY(store()->task(id).repeatRule().isEmpty());
        QCOMPARE(w.list->editedRow(), row);
    }

};

MRV_TEST_WIDGETS_MAIN(TstRepeatButton)
#include "tst_repeatbutton.moc"
