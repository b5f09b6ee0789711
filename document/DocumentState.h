#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace document {

// One free-field definition, from a definition line "Code,Label,Number[,...]".
struct FreeFieldDef {
    QString Label;
    QString Code;
    std::int16_t Number = 0;
    bool operator==(const FreeFieldDef&) const = default;
};

// The program-wide variables of the open document.
struct DocumentState {
    // Free fields: definitions in line order, the separator that follows each value in COMMENT,
    // and the block as the distribution file carries it.
    std::vector<FreeFieldDef> FreeFields;
    int FreeFieldCount = 0;
    QString FreeFieldSeparator = QStringLiteral("/");
    QString FreeFieldHeader;

    // Period scheme: number of periods less one, and the pivot years.
    std::int16_t PeriodOption = 0;
    std::int16_t PivotYear1 = 0;
    std::int16_t PivotYear2 = 0;
    std::int16_t NewDocument = 0; // -1 while New shows the period dialog

    int FileModified = 0; // -1 when the document changed since it was read or written
    QString CurrentFile;  // path of the open file; empty for a document never read or saved
    QString SqlTri = QStringLiteral("SELECT * FROM DOVAZOV ORDER BY Counter");
};

DocumentState& Document();
// Back to the state of a fresh start (test fixtures).
void ResetDocumentState();

} // namespace document
