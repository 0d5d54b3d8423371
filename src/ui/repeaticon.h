#pragma once

class QIcon;

/// The picture of a repeating task, for the open row's repeat button and the closed row's mark.
/// Its dark blue arrows are drawn in a light shade of the text under a dark palette, which would
/// swallow them; take it again after a palette change.
QIcon repeatIcon();
