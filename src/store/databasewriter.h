#pragma once

class QIODevice;
struct TaskSnapshot;

/// Writes the snapshot as the task database document. False without a device or when the
/// device reported a write error (the document on it is then incomplete).
bool writeDatabase(QIODevice* device, const TaskSnapshot& snapshot);
