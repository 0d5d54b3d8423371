#pragma once

#include <functional>

/// Calls `save` once, before the process ends, when the toolkit reports that the connection to
/// the display is gone (the compositor or the X server ended, as at logout): the toolkit then
/// ends the process at once, without returning to the program. `save` may run on any thread.
void saveBeforeDisplayLoss(std::function<void()> save);
