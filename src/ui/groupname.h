#pragma once

#include "core/duetasks.h"

#include <QString>

class FocusGroup;

/// The name a group is shown with: the fixed groups (Inbox, Trash, Completed) in the interface
/// language while they keep their given names, every other name as the user wrote it. The
/// views (see viewAsGroup) in the interface language.
QString shownGroupName(const FocusGroup& group);
/// A view as its row in the group panel holds it: a group of no tasks, in no store, with the
/// view's id and English name.
FocusGroup viewAsGroup(DueTasks::View view);
