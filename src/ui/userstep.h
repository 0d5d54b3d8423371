#pragma once

#include <QString>

#include <memory>

class TaskStorage;

/// One step of the user's for the undo history, in the store the window shows, for the length
/// of a scope (see StoreStep); does nothing while there is no store.
class UserStep
{
public:
    explicit UserStep(const QString& label, const QString& mergeKey = QString());
    ~UserStep();
    UserStep(const UserStep&) = delete;
    UserStep& operator=(const UserStep&) = delete;

private:
    std::shared_ptr<TaskStorage> m_store;
};
