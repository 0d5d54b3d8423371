#pragma once

#include <functional>

class QAccessibleEvent;

/// Hands accessibility events to assistive technology. Building an event can create accessible
/// interfaces, so callers ask first whether anyone listens. Tests install a sink of their own,
/// because the offscreen platform has no accessibility bridge to listen.
class AccessibleNotifier
{
public:
    using Sink = std::function<void(QAccessibleEvent* event)>;

    /// True while a screen reader (or a test's sink) takes the events.
    static bool isListening();
    static void notify(QAccessibleEvent* event);
    /// Sends the events to `sink` instead of the toolkit (null: the toolkit again); returns the
    /// sink replaced.
    static Sink setSink(Sink sink);
};
