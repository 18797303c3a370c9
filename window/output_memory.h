// The Лазер window's device and the output settings, kept between runs in an INI file of their
// own, so that a projector's zone and address are set once. Only the program itself keeps
// them (the tests give their own file or none).
#pragma once

#include <QString>

#include "model/output_stage.h"

namespace window {

struct OutputMemory {
    QString address;
    model::stage::Settings stage;
    friend bool operator==(const OutputMemory&, const OutputMemory&) = default;
};

// What the file holds: a missing file, key or unreadable value gives the default, and every
// value is brought into its range.
OutputMemory ReadOutputMemory(const QString& path);
// Writes it whole, in place of what was there; false when it could not be written.
bool WriteOutputMemory(const QString& path, const OutputMemory& memory);
// output.ini in the user's configuration folder for the program.
QString DefaultOutputMemoryFile();

}  // namespace window
