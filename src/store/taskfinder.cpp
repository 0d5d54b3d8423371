#include "store/taskfinder.h"

#include "store/taskstorage.h"

#include <algorithm>

TaskFinder::TaskFinder(std::shared_ptr<TaskStorage> storage, QObject* parent)
    : QObject(parent)
    , m_storage(std::move(storage))
{
    if (m_storage) {
        connect(m_storage.get(), &TaskStorage::taskChanged, this, &TaskFinder::_onTaskChanged);
        connect(m_storage.get(), &TaskStorage::groupChanged, this, [this] { m_lastValid = false; });
    }
}

QString TaskFinder::fold(const QString& text)
{
    // Decomposed, a letter and its accents are separate characters: the accents go.
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString folded;
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        const QChar::Category category = c.category();
        if (category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
            || category == QChar::Mark_Enclosing)
            continue;
        folded.append(c);
    }
    return folded.toCaseFolded();
}

QStringList TaskFinder::words(const QString& query)
{
    return fold(query).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void TaskFinder::_onTaskChanged(const TodoTask::Id& taskId)
{
    m_lastValid = false;
    if (m_index.contains(taskId))
        m_stale.insert(taskId);
}

void TaskFinder::prepare()
{
    if (!m_storage)
        return;
    for (const FocusGroup& group : _searchedGroups()) {
        for (const TodoTask::Id& taskId : group.taskIds())
            _folded(taskId);
    }
}

QList<FocusGroup> TaskFinder::_searchedGroups() const
{
    QList<FocusGroup> groups;
    for (const FocusGroup::Id& groupId : m_storage->groupIds()) {
        if (groupId != FocusGroup::trashId())
            groups.append(m_storage->group(groupId));
    }
    return groups;
}

void TaskFinder::release()
{
    m_index = {};
    m_stale = {};
    m_lastWords.clear();
    m_lastFound.clear();
    m_lastValid = false;
}

bool TaskFinder::_matches(const TodoTask::Id& taskId, const QStringList& wanted)
{
    const QString& text = _folded(taskId);
    return std::all_of(wanted.cbegin(), wanted.cend(), [&text](const QString& word) { return text.contains(word); });
}

const QString& TaskFinder::_folded(const TodoTask::Id& taskId)
{
    auto it = m_index.find(taskId);
    if (it == m_index.end() || m_stale.remove(taskId)) {
        const TodoTask task = m_storage->task(taskId);
        it = m_index.insert(taskId, fold(task.name() + QLatin1Char('\n') + task.notes()));
    }
    return it.value();
}

QList<FoundTask> TaskFinder::find(const QString& query)
{
    QList<FoundTask> found;
    const QStringList wanted = words(query);
    if (wanted.isEmpty() || !m_storage) {
        m_lastValid = false;
        return found;
    }
    // Every earlier word inside one of the new ones: the new matches are among the old.
    const bool narrower = m_lastValid && std::all_of(m_lastWords.cbegin(), m_lastWords.cend(), [&wanted](const QString& old) {
        return std::any_of(wanted.cbegin(), wanted.cend(), [&old](const QString& word) { return word.contains(old); });
    });
    if (narrower) {
        for (const FoundTask& task : std::as_const(m_lastFound)) {
            if (_matches(task.taskId, wanted))
                found.append(task);
        }
    } else {
        QSet<TodoTask::Id> seen;
        for (const FocusGroup& group : _searchedGroups()) {
            for (const TodoTask::Id& taskId : group.taskIds()) {
                if (_matches(taskId, wanted) && !seen.contains(taskId)) {
                    seen.insert(taskId);
                    found.append(FoundTask{taskId, group.id()});
                }
            }
        }
    }
    m_lastWords = wanted;
    m_lastFound = found;
    m_lastValid = true;
    return found;
}
