#include "store/taskstoragereader.h"

#include "base/log.h"
#include "store/taskstorage.h"

#include <QIODevice>
#include <QSet>

TaskStorageReader::TaskStorageReader(TaskStorage* storage)
    : m_storage(storage)
{
}

int TaskStorageReader::read(QIODevice* device)
{
    if (!device)
        return OtherFailure;
    setDevice(device);
    while (!atEnd()) {
        readNext();
        if (isStartElement()) {
            if (name() == QLatin1String("taskdb"))
                _readRoot();
            else
                _fail(QString());
        }
    }
    if (!hasError())
        return Success;
    return m_errorCode != 0 ? m_errorCode : OtherFailure;
}

bool TaskStorageReader::_isEndOf(QLatin1String name) const
{
    return isEndElement() && this->name() == name;
}

void TaskStorageReader::_readRoot()
{
    const QXmlStreamAttributes attrs = attributes();
    if (!attrs.hasAttribute(QLatin1String("version"))) {
        MRV_CRITICAL("TaskStorageReader::_readRoot", QStringLiteral("Database version is missing"));
        m_errorCode = BadVersion;
    } else {
        const QString text = attrs.value(QLatin1String("version")).toString();
        bool ok = false;
        const int version = text.toInt(&ok, 10);
        if (!ok) {
            MRV_CRITICAL("TaskStorageReader::_readRoot",
                         QStringLiteral("Database version is corrupted: \"") + text + QLatin1Char('"'));
            m_errorCode = BadVersion;
        } else if (version > ReaderVersion) {
            MRV_CRITICAL("TaskStorageReader::_readRoot",
                         QStringLiteral("Database version is not supported. (Reader ver - %1; Database ver - %2)")
                             .arg(ReaderVersion)
                             .arg(version));
            m_errorCode = NewerFile;
        }
    }
    if (m_errorCode != 0) {
        _fail(QString());
        return;
    }
    while (!atEnd()) {
        readNext();
        if (_isEndOf(QLatin1String("taskdb")))
            break;
        if (!isStartElement())
            continue;
        if (name() == QLatin1String("groups"))
            _readGroups();
        else if (name() == QLatin1String("tags"))
            _readTags();
        else if (name() == QLatin1String("todos"))
            _readTodos();
    }
}

void TaskStorageReader::_readGroups()
{
    while (!atEnd()) {
        readNext();
        if (_isEndOf(QLatin1String("groups")))
            break;
        if (isStartElement() && name() == QLatin1String("g"))
            _readGroup();
    }
}

void TaskStorageReader::_readGroup()
{
    const QXmlStreamAttributes attrs = attributes();
    if (!attrs.hasAttribute(QLatin1String("name")) || !attrs.hasAttribute(QLatin1String("id"))) {
        MRV_CRITICAL("TaskStorageReader::_readGroup", QStringLiteral("Group is missing attributes: name or id"));
        _fail(QString());
        return;
    }
    const QString idText = attrs.value(QLatin1String("id")).toString();
    const FocusGroup::Id groupId = QUuid::fromString(idText);
    if (groupId.isNull()) {
        _fail(QStringLiteral("Invalid group id \"") + idText + QLatin1Char('"'));
        return;
    }
    QString groupName = attrs.value(QLatin1String("name")).toString();
    dropUnpairedSurrogates(groupName);
    m_storage->_insertGroup(FocusGroup(groupId, groupName));

    // Collected here and stored once: a group may list tens of thousands of tasks, and
    // checking each id against the list itself would make loading quadratic.
    FocusGroup::TaskIdList taskIds;
    QSet<QUuid> listed;
    while (!atEnd()) {
        readNext();
        if (_isEndOf(QLatin1String("g")))
            break;
        if (!isStartElement())
            continue;
        if (name() == QLatin1String("tid")) {
            QString text;
            if (!readText(text))
                return;
            const TodoTask::Id taskId = QUuid::fromString(text);
            if (taskId.isNull()) {
                _fail(QStringLiteral("Invalid task id \"") + text + QStringLiteral("\" in group ") + idText);
                return;
            }
            if (!listed.contains(taskId)) {
                listed.insert(taskId);
                taskIds.append(taskId);
            }
        } else if (name() == QLatin1String("icon")) {
            QString key;
            if (!readText(key))
                return;
            m_storage->_setGroupIconKey(groupId, key);
        }
    }
    m_storage->_setGroupTaskIds(groupId, taskIds);
}

void TaskStorageReader::_readTodos()
{
    while (!atEnd()) {
        readNext();
        if (_isEndOf(QLatin1String("todos")))
            break;
        if (isStartElement() && name() == QLatin1String("t"))
            _readTodo();
    }
}

void TaskStorageReader::_readTodo()
{
    QString id, name, notes, tags, due, completed, created, completedAt, deletedAt, modified, repeat;
    struct Field {
        QLatin1String element;
        QString* text;
    };
    const Field fields[] = {
        {QLatin1String("id"), &id},       {QLatin1String("name"), &name},
        {QLatin1String("notes"), &notes}, {QLatin1String("tags"), &tags},
        {QLatin1String("due"), &due},     {QLatin1String("completed"), &completed},
        {QLatin1String("tcrt"), &created}, {QLatin1String("tcmpl"), &completedAt},
        {QLatin1String("tdel"), &deletedAt}, {QLatin1String("tmod"), &modified},
        {QLatin1String("repeat"), &repeat},
    };
    while (!atEnd()) {
        readNext();
        if (_isEndOf(QLatin1String("t")))
            break;
        if (!isStartElement())
            continue;
        for (const Field& field : fields) {
            if (this->name() == field.element) {
                if (!readText(*field.text))
                    return;
                break;
            }
        }
    }
    if (hasError())
        return;
    TodoTask task = TodoTask::fromTexts(id, name, notes, completed, due, created, completedAt, deletedAt, modified, repeat);
    if (task.id().isNull()) {
        _fail(QStringLiteral("Invalid task id \"") + id + QLatin1Char('"'));
        return;
    }
    m_storage->_insertTask(std::move(task));
}

void TaskStorageReader::_readTags()
{
    while (!atEnd()) {
        readNext();
        if (_isEndOf(QLatin1String("tags")))
            break;
    }
}
