#pragma once

#include "app/dynamicsingleton.h"

#include <memory>

class QString;
class TaskStorage;

/// The process-wide core object: owns the task store.
class TaskCore : public dynamic_singleton<TaskCore>
{
public:
    /// Creates the store on the database file, loads it and starts its committer.
    /// Returns the store's result: 0 loaded (or no file yet), 1 written by a newer program,
    /// anything else unreadable.
    int init();
    /// The same on another file, with the committer's interval (tests).
    int init(const QString& databasePath, int commitIntervalMs);

    /// A copy of the pointer to the store; callers drop it as soon as they are done.
    std::shared_ptr<TaskStorage> storage() const;

protected:
    TaskCore();
    ~TaskCore() override;

private:
    std::shared_ptr<TaskStorage> m_storage;
};
