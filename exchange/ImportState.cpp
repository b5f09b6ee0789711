#include "exchange/ImportState.h"

#include "common/AppError.h"
#include "platform/TextFile.h"

namespace exchange {

ImportState& Imports() {
    static ImportState state;
    return state;
}

void ResetImportState() {
    Imports() = ImportState{};
}

QString FirstLines(const QString& path) {
    // A preview needs no more of a line than the window can show.
    constexpr qsizetype kPreviewLineBytes = 64 * 1024;
    platform::TextFileReader file(path, kPreviewLineBytes);
    if (file.atEnd()) {
        throw common::AppError(common::kInputPastEnd);
    }
    QString lines[3];
    lines[0] = file.readLine();
    for (int i = 1; i < 3 && !file.atEnd(); ++i) {
        lines[i] = file.readLine();
    }
    return lines[0] + QLatin1Char('\r') + lines[1] + QLatin1Char('\r') + lines[2];
}

} // namespace exchange
