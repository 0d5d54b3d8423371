#include "ui/findbar.h"

#include "core/taskcore.h"
#include "store/taskstorage.h"
#include "ui/tasklistwidget.h"
#include "widgets/colorscheme.h"
#include "widgets/fancylineedit.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>

FindBar::FindBar(TaskListWidget* list, QWidget* parent)
    : QWidget(parent)
    , m_list(list)
{
    setObjectName(QStringLiteral("findBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(7, 6, 7, 6);
    m_edit = new FancyLineEdit(this);
    m_edit->setObjectName(QStringLiteral("findEdit"));
    m_edit->setClearButtonEnabled(true);
    m_edit->installEventFilter(this);
    layout->addWidget(m_edit);
    connect(m_edit, &QLineEdit::textChanged, this, &FindBar::_onTextChanged);

    const auto storage = TaskCore::instance()->storage();
    m_finder = new TaskFinder(storage, this);
    // Changes made while tasks are found (a task completed, moved or deleted here or
    // elsewhere) show after a short pause, once however many came.
    m_storeChanges = new QTimer(this);
    m_storeChanges->setSingleShot(true);
    m_storeChanges->setInterval(100);
    connect(m_storeChanges, &QTimer::timeout, this, &FindBar::_findAgain);
    if (storage) {
        const auto changed = [this] {
            if (m_finding)
                m_storeChanges->start();
        };
        connect(storage.get(), &TaskStorage::groupChanged, this, changed, Qt::QueuedConnection);
        connect(storage.get(), &TaskStorage::taskChanged, this, changed, Qt::QueuedConnection);
    }
    _retranslate();
    hide();
}

void FindBar::open()
{
    if (!isVisible())
        m_finder->prepare();
    show();
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void FindBar::close(bool restore)
{
    const bool wasFinding = m_finding;
    m_finding = false;
    m_storeChanges->stop();
    // The folded texts of every task are worth keeping only while the field is open.
    m_finder->release();
    hide();
    {
        const QSignalBlocker blocker(m_edit);
        m_edit->clear();
    }
    if (restore && wasFinding)
        _restoreGroup();
    if (m_list)
        m_list->setFocus();
}

void FindBar::_onTextChanged(const QString& text)
{
    if (!m_list)
        return;
    if (text.trimmed().isEmpty()) {
        if (m_finding) {
            m_finding = false;
            _restoreGroup();
        }
        return;
    }
    if (!m_finding) {
        // What to come back to.
        m_shownGroup = m_list->group();
        m_shownSelection = m_list->selectedTaskIds();
        m_shownCurrent = m_list->taskIdAt(m_list->currentIndex());
        m_finding = true;
    }
    m_list->showFound(m_finder->find(text));
}

void FindBar::_findAgain()
{
    if (!m_finding || !m_list)
        return;
    // A task being edited stays in view until its editor closes, even when it no longer matches.
    if (m_list->editedRow()) {
        m_storeChanges->start();
        return;
    }
    m_list->showFound(m_finder->find(m_edit->text()));
}

void FindBar::_restoreGroup()
{
    if (!m_list || m_shownGroup.isNull())
        return;
    m_list->setGroup(m_shownGroup);
    m_list->selectTasks(m_shownSelection, m_shownCurrent);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Escape:
            close(true);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (m_finding && m_list && m_list->rowCount() > 0)
                m_list->setEditing(0);
            return true;
        case Qt::Key_Down:
            // Into the results, on the first one.
            if (m_finding && m_list && m_list->rowCount() > 0) {
                m_list->setFocus();
                m_list->clearSelection();
                m_list->select(0);
            }
            return true;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        _retranslate();
    QWidget::changeEvent(event);
}

void FindBar::_retranslate()
{
    m_edit->setPlaceholderText(tr("Find tasks"));
    m_edit->setAccessibleName(tr("Find tasks"));
    // The field's own clear button.
    for (QToolButton* button : m_edit->findChildren<QToolButton*>()) {
        button->setAccessibleName(tr("Clear"));
        button->setToolTip(tr("Clear"));
    }
}

void FindBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), schemeColor(ColorScheme::ListBackground));
    painter.setPen(schemeColor(ColorScheme::Outline));
    painter.drawLine(rect().bottomLeft(), rect().bottomRight());
}
