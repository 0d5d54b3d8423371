#pragma once

#include "store/taskstorage.h"

/// One user step for the length of a scope: `StoreStep step(store, tr("Cleanup"));`.
/// Steps given the same `mergeKey` one after another join into one (see UndoStep::mergeKey).
class StoreStep
{
public:
    StoreStep(TaskStorage& store, const QString& label, const QString& mergeKey = QString())
        : m_store(store)
    {
        m_store.beginStep(label, mergeKey);
    }
    ~StoreStep() { m_store.endStep(); }
    StoreStep(const StoreStep&) = delete;
    StoreStep& operator=(const StoreStep&) = delete;

private:
    TaskStorage& m_store;
};
