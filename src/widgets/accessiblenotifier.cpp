#include "widgets/accessiblenotifier.h"

#include <QAccessible>

namespace {

AccessibleNotifier::Sink s_sink = nullptr;

} // namespace

bool AccessibleNotifier::isListening()
{
    return s_sink || QAccessible::isActive();
}

void AccessibleNotifier::notify(QAccessibleEvent* event)
{
    if (s_sink)
        s_sink(event);
    else
        QAccessible::updateAccessibility(event);
}

AccessibleNotifier::Sink AccessibleNotifier::setSink(Sink sink)
{
    const Sink previous = s_sink;
    s_sink = sink;
    return previous;
}
