#pragma once

/// Makes the task list a list for assistive technology, its rows list items. Installed once,
/// by the first list made.
void installViewAccessibility();
