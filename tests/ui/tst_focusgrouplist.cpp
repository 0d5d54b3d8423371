#include "core/duetasks.h"
#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "support/testenv.h"
#include "support/uitestkit.h"
#include "ui/countwidget.h"
#include "ui/dragregistry.h"
#include "ui/exportdialog.h"
#include "ui/focusgrouplistwidget.h"
#include "ui/focusgroupwidget.h"
#include "ui/questionbox.h"

#include <QAccessible>
#include <QApplication>
#include <QDragEnterEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPointer>

#include <climits>
#include <memory>

namespace {

using namespace uitest;

FocusGroup::Id addGroup(const char* name) { return store()->addGroup(QString::fromLatin1(name), QString()); }

/// Sends a drag entering, or with `drop` dropped on, a row; whether the row took it.
template <typename Event>
bool send(QWidget* row, const QMimeData* mime)
{
    Event event(row->rect().center(), Qt::MoveAction | Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(row, &event);
    return event.isAccepted();
}

/// The group panel, shown.
struct Panel : FocusGroupListWidget
{
    Panel()
    {
        resize(200, 400);
        show();
        QCoreApplication::processEvents();
    }
    QPoint centreOf(const FocusGroup::Id& id)
    {
        FocusGroupWidget* row = rowOf(id);
        return row->mapTo(viewport(), row->rect().center());
    }
    /// The item of the context menu for the row of `id`, by its object name without "Action".
    QAction* menuItem(const FocusGroup::Id& id, const QString& name)
    {
        return buildContextMenu(centreOf(id))->findChild<QAction*>(name + QLatin1String("Action"));
    }
};

} // namespace

class TstFocusGroupList : public QObject
{
    Q_OBJECT

private:
    TempStore m_store;
    int m_asked = 0;
    QMessageBox::StandardButton m_answer = QMessageBox::No;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_store.ready());
        QuestionBox::setHook([this](auto...) {
            ++m_asked;
            return m_answer;
        });
    }

    void cleanupTestCase() { QuestionBox::setHook({}); }

    void init()
    {
        m_asked = 0;
        clearStore();
    }

    // A row takes a drag of tasks it does not hold (Shift copies, but not to the Trash) and
    // a user group's drag (it takes the row's place); nothing else, no drag of other programs.
    void dragsOntoGroups_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("source"); // 0 Inbox, 1 group A, 2 group B
        QTest::addColumn<int>("target"); // 0 Inbox, 1 A, 2 B, 3 Trash, 4 Completed, 5 Today
        QTest::addColumn<int>("result");
        const int tasks = DragGroup::Tasks, group = DragGroup::Group;
        const int refused = DragGroup::NoResult, moved = DragGroup::Moved, copied = Qt::CopyAction;
        QTest::newRow("tasks onto another group") << tasks << false << 0 << 1 << moved;
        QTest::newRow("copy with Shift") << tasks << true << 0 << 1 << copied;
        QTest::newRow("Shift onto Trash still moves") << tasks << true << 0 << 3 << moved;
        QTest::newRow("tasks onto their own group") << tasks << false << 0 << 0 << refused;
        QTest::newRow("tasks onto a group holding one") << tasks << false << 0 << 2 << refused;
        QTest::newRow("tasks onto Today") << tasks << false << 0 << 5 << refused;
        QTest::newRow("group onto another user group") << group << false << 2 << 1 << moved;
        QTest::newRow("group onto Inbox") << group << false << 1 << 0 << refused;
    }

    void dragsOntoGroups()
    {
        QFETCH(int, kind);
        QFETCH(bool, shift);
        QFETCH(int, source);
        QFETCH(int, target);
        QFETCH(int, result);
        const FocusGroup::Id a = addGroup("A"), b = addGroup("B");
        QList<TodoTask::Id> tasks;
        for (int i = 0; i < 2; ++i)
            tasks << store()->createTask(FocusGroup::inboxId());
        store()->addTaskToGroup(b, tasks.first()); // B already holds one
        Panel panel;
        const FocusGroup::Id groups[] = {FocusGroup::inboxId(), a, b, FocusGroup::trashId(),
                                         FocusGroup::completedId(), DueTasks::viewId(DueTasks::Today)};
        FocusGroupWidget* row = panel.rowOf(groups[target]);
        for (const QByteArray& payload : {QByteArray(), QByteArray("9999"), QByteArray("x1")}) {
            QMimeData foreign;
            foreign.setText(QStringLiteral("hello"));
            if (!payload.isEmpty())
                foreign.setData(QLatin1String(DragRegistry::MimeType), payload);
            QVERIFY(!send<QDragEnterEvent>(row, &foreign));
        }
        FakeDrag drag(groups[source], tasks, kind, shift);
        // A row that refuses passes the event on to the panel, which takes group drags itself
        // (without a drop place): the row's drop outline is what tells.
        send<QDragEnterEvent>(row, &drag.mime);
        QCOMPARE(bool(row->flags() & FocusGroupWidget::DragOver), result != DragGroup::NoResult);
        if (result == DragGroup::NoResult)
            return;
        QVERIFY(send<QDropEvent>(row, &drag.mime));
        if (kind == DragGroup::Group) {
            QCOMPARE(store()->groupIds().mid(3), (QList<QUuid>{b, a}));
            return;
        }
        QCOMPARE(drag.data->resultAction, result);
        QCOMPARE(store()->group(groups[target]).taskIds(), tasks);
        QCOMPARE(store()->group(FocusGroup::inboxId()).contains(tasks.last()), result == Qt::CopyAction);
    }

    // Nothing is removed unless the user says yes; the Trash row follows at once.
    void removeAndEmptyTrashAskFirst()
    {
        for (const bool confirmed : {true, false}) {
            const FocusGroup::Id group = addGroup("Doomed");
            const TodoTask::Id task = store()->createTask(group);
            Panel panel;
            QTest::mousePress(panel.viewport(), Qt::LeftButton, {}, panel.centreOf(group));
            m_asked = 0;
            m_answer = confirmed ? QMessageBox::Yes : QMessageBox::No;
            panel.menuItem(group, QStringLiteral("removeGroup"))->trigger();
            QCOMPARE(m_asked, 1);
            QCOMPARE(store()->group(group).id().isNull(), confirmed);
            QCOMPARE(store()->group(FocusGroup::trashId()).contains(task), confirmed);
            QCOMPARE(panel.rowOf(FocusGroup::trashId())->group().contains(task), confirmed);
            QCOMPARE(panel.currentGroup(), confirmed ? FocusGroup::inboxId() : group);
            QCOMPARE(panel.rowOf(group) == nullptr, confirmed);

            store()->createTask(FocusGroup::trashId());
            m_answer = confirmed ? QMessageBox::Ok : QMessageBox::Cancel;
            const int revision = store()->revision();
            panel.menuItem(FocusGroup::trashId(), QStringLiteral("emptyTrash"))->trigger();
            QCOMPARE(m_asked, 2);
            QCOMPARE(store()->group(FocusGroup::trashId()).taskIds().isEmpty(), confirmed);
            QCOMPARE(store()->revision() == revision, !confirmed);
        }
    }
};

MRV_TEST_WIDGETS_MAIN(TstFocusGroupList)
#include "tst_focusgrouplist.moc"
