#pragma once

#include <QString>

class FocusGroup;

/// The name a group is shown with: the fixed groups (Inbox, Trash, Completed) in the interface
/// language while they keep their given names, every other name as the user wrote it.
QString shownGroupName(const FocusGroup& group);
