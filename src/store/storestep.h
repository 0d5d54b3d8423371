#pragma once

#include "store/taskstorage.h"

/// One user step for the length of a scope: `StoreStep step(store, tr("Cleanup"));`.
class StoreStep
{
public:
    StoreStep(TaskStorage& store, const QString& label)
        : m_store(store)
    {
        m_store.beginStep(label);
    }
    ~StoreStep() { m_store.endStep(); }
    StoreStep(const StoreStep&) = delete;
    StoreStep& operator=(const StoreStep&) = delete;

private:
    TaskStorage& m_store;
};
