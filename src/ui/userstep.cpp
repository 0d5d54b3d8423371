#include "ui/userstep.h"

#include "core/taskcore.h"
#include "store/taskstorage.h"

UserStep::UserStep(const QString& label, const QString& mergeKey)
    : m_store(TaskCore::currentStorage())
{
    if (m_store)
        m_store->beginStep(label, mergeKey);
}

UserStep::~UserStep()
{
    if (m_store)
        m_store->endStep();
}
