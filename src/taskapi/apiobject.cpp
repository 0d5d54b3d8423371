#include "taskapi/apiobject.h"

namespace taskapi {

ApiObject::~ApiObject() = default;

void ApiObject::setData(const QVariantMap& data)
{
    m_data = data;
}

} // namespace taskapi
