#pragma once

#include <QString>
#include <QStringList>

class QDateTime;


// The messages shown when the program cannot start; each is a modal box with no parent.

/// Text for a database that could not be loaded: `result` 1 is a file of a newer program,
/// any other non-zero value an unreadable file.
QString databaseLoadFailureText(int result);
void showDatabaseLoadFailure(int result);

/// Title and text shown when an installer is started while the program runs.
QString instanceRunningTitle(bool install);
QString instanceRunningText();
void showInstanceRunningWarning(bool install);

/// The question asked when the database is damaged but its backup from `backupTime`, holding
/// `tasks` tasks, can be read; true for Yes.
QString backupQuestionText(const QDateTime& backupTime, int tasks);
bool askStartFromBackup(const QDateTime& backupTime, int tasks);

/// Text and notice, shown without waiting for an answer, for rescue copies that an earlier run
/// made because it could not write the task database at `databasePath`; newest first.
QString rescueCopyText(const QStringList& copies, const QString& databasePath);
void showRescueCopyNotice(const QStringList& copies, const QString& databasePath);
