#pragma once

#include "store/basicxmlreader.h"

class QIODevice;
class TaskStorage;

/// Reads the task database file into a store.
class TaskStorageReader : public BasicXmlReader
{
public:
    enum Result { Success = 0, NewerFile = 1, BadVersion = 2, OtherFailure = 3 };
    static constexpr int ReaderVersion = 1;

    explicit TaskStorageReader(TaskStorage* storage);

    /// Returns a `Result`.
    int read(QIODevice* device);

private:
    void _readRoot();
    void _readGroups();
    void _readGroup();
    void _readTodos();
    void _readTodo();
    void _readTags();
    bool _isEndOf(QLatin1String name) const;

    int m_errorCode = 0;
    TaskStorage* m_storage;
};
