#pragma once

/// Makes the task list and the group panel lists for assistive technology, their rows list
/// items. Installed once, by the first list made.
void installViewAccessibility();
