#pragma once

#include "document/DocumentState.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace document {

// The free-field model of a document: its definitions in line order, the separator that follows
// each value in COMMENT, and the block of lines a distribution file carries (separator line, then
// one definition line each, joined by CR LF, no CR LF after the last; empty with no free fields).
// Built aside as a value so that a read can install it only once it has succeeded.
struct FreeFieldModel {
    std::vector<FreeFieldDef> FreeFields;
    QString FreeFieldSeparator = QStringLiteral("/");
    QString FreeFieldHeader;

    int count() const { return static_cast<int>(FreeFields.size()); }
    bool operator==(const FreeFieldModel&) const = default;
};

// The line end between the lines of FreeFieldHeader.
inline constexpr const char* kHeaderLineEnd = "\r\n";

// The parts of a definition line, split at every ","; the parts are not trimmed.
QStringList SplitDefinitionLine(const QString& line);

// The Number of a definition from its third part: the number the text begins with (blanks and
// tabs skipped anywhere, optional sign, digits, at most one point; no number gives 0), taken to
// the nearest whole number with halves to the even neighbour. Error 6 outside the 16-bit range.
std::int16_t FreeFieldNumber(const QString& part);

// A definition from its line: Code part 1, Label part 2 (both exactly as written), Number from
// part 3. Nothing when the line has fewer than three parts; error 6 from FreeFieldNumber.
std::optional<FreeFieldDef> ParseDefinitionLine(const QString& line);

// Starts a model from its separator line: the separator and the first line of the header.
FreeFieldModel StartFreeFieldModel(const QString& separatorLine);
// Adds one definition line: the header gets CR LF and the line, the definitions the parsed line.
// False, and the model unchanged, when the line is not a definition (fewer than three parts, or a
// Number outside the 16-bit range).
bool AddDefinitionLine(FreeFieldModel& model, const QString& line);

// The eleven definition lines New uses when the program folder holds no "standard.hdr", exactly
// as they are (blanks kept), and the model they give with the separator "/".
const QStringList& BuiltInDefinitionLines();
FreeFieldModel BuiltInFreeFields();

// "standard.hdr" in the program folder.
QString StandardHeaderPath(const QString& programFolder);
// Reads a definition file (Windows-1252): line 1 is the separator line, taken whole; each further
// line is a definition line. Lines that are not definitions (blank, fewer than three parts) are
// skipped and left out of the header; a file without any definition line gives a model without
// free fields (empty header). Error 53 when the file cannot be opened.
FreeFieldModel ReadStandardHeader(const QString& path);

// The document's model, and installing one (FreeFields, FreeFieldCount, FreeFieldSeparator and
// FreeFieldHeader together, so that they always agree).
FreeFieldModel CurrentFreeFields();
void InstallFreeFields(const FreeFieldModel& model);
// No free fields: empty definitions and header, count 0; the separator keeps its value.
void ClearFreeFields();

// The index of the definition whose Code is `code`, compared trimmed and in upper case; -1 when
// none.
int FindFreeField(const std::vector<FreeFieldDef>& fields, const QString& code);

// A COMMENT split into free-field values and free text, as the record editor shows it: the
// trimmed comment is cut at every separator; with at least one separator, value i is part i
// (empty when missing) and the free text is everything after the N-th separator; without a
// separator the whole trimmed comment is free text.
struct CommentParts {
    QStringList values; // always `fieldCount` entries
    QString freeText;
    bool operator==(const CommentParts&) const = default;
};
CommentParts SplitComment(const QString& comment, const QString& separator, int fieldCount);
// The COMMENT of values and free text: each value followed by the separator, then the free text.
// Values are not escaped: a value must not hold the separator.
QString JoinComment(const QStringList& values, const QString& freeText, const QString& separator);

} // namespace document
