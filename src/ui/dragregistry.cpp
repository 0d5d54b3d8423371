#include "ui/dragregistry.h"

#include <QMimeData>

namespace {

DragRegistry*& instancePointer()
{
    static DragRegistry* registry = nullptr;
    return registry;
}

} // namespace

DragRegistry* DragRegistry::instance()
{
    DragRegistry*& registry = instancePointer();
    if (!registry)
        registry = new DragRegistry;
    return registry;
}

void DragRegistry::destroy()
{
    delete instancePointer();
    instancePointer() = nullptr;
}

int DragRegistry::registerDrag(const std::shared_ptr<DragGroup>& data)
{
    if (m_drags.isEmpty())
        m_counter = 0;
    const int id = m_counter++;
    m_drags.insert(id, data);
    return id;
}

void DragRegistry::unregisterDrag(int id)
{
    m_drags.remove(id);
}

std::shared_ptr<DragGroup> DragRegistry::findDrag(const QByteArray& payload) const
{
    bool ok = false;
    const int id = payload.toInt(&ok, 10);
    if (!ok)
        return nullptr;
    return m_drags.value(id);
}

std::shared_ptr<DragGroup> DragRegistry::findDrag(const QMimeData* mime) const
{
    const QString type = QLatin1String(MimeType);
    if (!mime || !mime->hasFormat(type))
        return nullptr;
    return findDrag(mime->data(type));
}

QByteArray DragRegistry::payload(int id)
{
    return QByteArray::number(id);
}
