#pragma once

#include <QVariantMap>

namespace taskapi {

/// An object of the task service, kept as the JSON object the service sent.
class ApiObject
{
public:
    ApiObject() = default;
    ApiObject(const ApiObject&) = default;
    ApiObject& operator=(const ApiObject&) = default;
    virtual ~ApiObject();

    /// Replaces the data.
    virtual void setData(const QVariantMap& data);
    const QVariantMap& data() const { return m_data; }

protected:
    QVariantMap m_data;
};

} // namespace taskapi
