#include "widgets/accessiblenotifier.h"

#include <QAccessible>

namespace {

AccessibleNotifier::Sink& sink()
{
    static AccessibleNotifier::Sink function;
    return function;
}

} // namespace

bool AccessibleNotifier::isListening()
{
    return sink() || QAccessible::isActive();
}

void AccessibleNotifier::notify(QAccessibleEvent* event)
{
    if (sink())
        sink()(event);
    else
        QAccessible::updateAccessibility(event);
}

AccessibleNotifier::Sink AccessibleNotifier::setSink(Sink function)
{
    Sink previous = std::move(sink());
    sink() = std::move(function);
    return previous;
}
