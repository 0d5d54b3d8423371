#pragma once

#include <QString>

struct CommandLine;

/// "--sync" and "--sync-account": one sync pass, or setting up the account and pairing its task
/// lists, without a window. Beside a running program the request goes to it (it owns the
/// database); otherwise this process takes the database, syncs and writes it. The password
/// comes from standard input (--password-stdin) or the secret store. Returns the exit status:
/// 0 synced, 1 failed, 2 a wrong command line, 4 the server could not be reached, 5 the
/// server refused the user name or password.
int runSyncCommand(const CommandLine& commandLine, const QString& program);

/// The message that asks a running program to sync ("sync", with a password or an account).
QString syncMessage(const CommandLine& commandLine, const QString& password);
/// Whether a message from a later start asks for a sync.
bool isSyncMessage(const QString& message);
