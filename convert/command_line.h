// The program's command line: the file the window opens at start, and what runs without a
// window at all (--help, --version and the conversion of files).
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace convert {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFileProblem = 1;  // a file could not be read or written
inline constexpr int kExitUsage = 2;

// Whether the arguments ask for something that needs no window, decided from the raw
// arguments before any application object exists, so that no display is ever opened for them.
bool RunsWithoutWindow(int argc, const char* const* argv);
// Whether they ask for a conversion (which reads drawings and pictures through Qt Gui).
bool Converts(int argc, const char* const* argv);

// Runs --help, --version or --convert (arguments[0] is the program) and returns the exit
// status. Help and version go to out; problems, one line each, to err.
int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

// What the window's start takes from the arguments left after Qt's own: the file to open
// (may be empty), or the usage error to print.
struct WindowArguments {
    QString file;
    QString error;
};
WindowArguments ParseWindowArguments(const QStringList& arguments);

// What the window's start says when there is no display to open the window on (arguments[0]
// is the program): their usage error, or how to convert the file named without one. Returns
// the exit status.
int RefuseWithoutDisplay(const QStringList& arguments, QTextStream& err);

}  // namespace convert
