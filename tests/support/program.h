// The built program run as a user runs it, and contour files written byte by byte from
// their layout for the tests of the command line.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace testing_support {

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// The language of the program's texts: the tests' own (the C locale: Russian), or English as a
// user's LANG=en_US.UTF-8 gives it (the locale need not be installed).
enum class Texts { Russian, English };

// Runs build/quorinimage in `folder` and waits for it to end. It has no display at all: no
// DISPLAY, no WAYLAND_DISPLAY, and the X11 platform asked for, so any attempt to open a window
// ends the program; with `offscreen` it has Qt's offscreen platform instead. No settings file
// of the user's chooses its language.
ProgramRun RunProgram(const QStringList& arguments, const QString& folder, bool offscreen = false,
                      Texts texts = Texts::Russian);
// The environment RunProgram gives the program, for a test that starts it itself.
QProcessEnvironment ProgramEnvironment(const QString& folder, Texts texts = Texts::Russian);
// The built program's path, for a test that runs it itself (and talks to it while it runs).
QString ProgramPath();

// An 8192-byte contour file of the given surface pixels: one little-endian word per
// coordinate, (pixel - 192) * 5,000,000 / 65,536 truncated, plus 32,768; the count's word,
// also offset by 32,768, at byte 8180.
QByteArray ContourFileOf(const std::vector<std::pair<int, int>>& pixels);
// The points of a contour file's bytes in surface pixels (fractions kept).
std::vector<std::pair<double, double>> PixelsOfContourFile(const QByteArray& file);

QByteArray ReadFile(const QString& name);
void WriteFile(const QString& name, const QByteArray& bytes);

}  // namespace testing_support
