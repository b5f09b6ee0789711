#pragma once

#include <QString>
#include <cstdint>

namespace exchange {

// What the coordinate text import keeps for the rest of the run: the system chosen last and the
// file to import (neither is stored in the settings).
struct ImportState {
    std::int16_t ImportCoordType = 0;
    QString ImportCoordFile;
};

ImportState& Imports();
// Back to the state of a fresh start (test fixtures).
void ResetImportState();

// The first three lines of a text file joined by carriage returns; a line the file does not have
// stays empty. Error 62 for an empty file, 53 when it cannot be opened; lines are bounded.
QString FirstLines(const QString& path);

} // namespace exchange
