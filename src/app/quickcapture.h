#pragma once

/// Answers a command line that needs no window (see CommandLine::startsProgram): the help or
/// the version on standard output; a wrong command line's error, then the help, on standard
/// error; or the task of "--add", handed to the running instance or, with none running, added
/// to the Inbox of the database file and written before returning. Makes its own
/// QCoreApplication, so no display is needed. Returns the exit status: 0 done, 1 the task
/// could not be added, 2 a wrong command line.
int runCommandLine(int& argc, char** argv);
