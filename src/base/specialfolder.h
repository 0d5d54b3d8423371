#pragma once

#include <QString>

/// The folders the program works in.
enum SpecialFolder {
    AppData = 0,
    LocalAppData = 1,
    ProgramFolder = 2,
    UserDataFolder = 3,
    StartMenu = 4,
    QuickLaunch = 5,
    Desktop = 6,
};

/// The raw folder of a kind; empty for an unknown kind or one this desktop does not have.
QString specialFolder(int kind);
/// specialFolder() with "/" separators and a trailing "/"; with `create`, the folder is made.
QString folderPath(int kind, bool create);
/// Makes the folder of `path` (the path itself when it ends in "/") with all its parents.
bool ensureFolderFor(const QString& path);

// Files of the user data folder; each call makes the folder when it is missing.
QString databaseFilePath();
QString logFilePath();
QString settingsFilePath();
QString metricsFilePath();
/// The program icon as a PNG file, for desktop entries that point at it.
QString iconFilePath();
