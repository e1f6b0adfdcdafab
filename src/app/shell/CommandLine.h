#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the application was asked for on its command line. Read before any window exists, so
// that --help and --version work without a display.
struct CommandLine {
    enum class Action { run, help, version, usageError };

    Action action = Action::run;
    // The value after the first --selected-disk, unchecked: a bad one is ignored later.
    std::optional<QString> selectedDisk;
    // The folder to choose in setup, as an absolute path.
    std::optional<QString> folder;
    // One line naming the problem, for a usage error.
    QString error;

    // The arguments with the program name first; relative folders are taken from workingFolder.
    static CommandLine parse(const QStringList& arguments, const QString& workingFolder);
    static QString usage();
    static QString version();
};
