#include "common/AppError.h"

namespace common {

namespace {

// The text of each number; "|" stands where the engine puts the name of what failed.
std::string_view Template(int number) {
    switch (number) {
    case kInvalidCall:
        return "Invalid procedure call or argument";
    case kOverflow:
        return "Overflow";
    case kSubscript:
        return "Subscript out of range";
    case kDivisionByZero:
        return "Division by zero";
    case kTypeMismatch:
        return "Type mismatch";
    case kOutOfStringSpace:
        return "Out of string space";
    case kFileNotFound:
        return "File not found";
    case kInputPastEnd:
        return "Input past end of file";
    case kPathFileAccess:
        return "Path/File access error";
    case kPathNotFound:
        return "Path not found";
    case kObjectNotSet:
        return "Object variable or With block variable not set";
    case kInvalidNull:
        return "Invalid use of Null";
    case kInvalidPicture:
        return "Invalid picture";
    case kPrinterError:
        return "Printer error";
    case kNoCurrentRecord:
        return "No current record.";
    case kDatabaseError:
        return "Cannot open database '|'. It may not be a database that your application "
               "recognizes, or the file may be corrupt.";
    case kQueryError:
        return "Syntax error in query expression '|'.";
    case kTableNotFound:
        return "The database engine cannot find the input table or query '|'. Make sure it "
               "exists and that its name is spelled correctly.";
    case kFieldNotUpdatable:
        return "Cannot update '|'; field not updatable.";
    case kInvalidBookmark:
        return "Not a valid bookmark.";
    case kFieldTooSmall:
        return "The field is too small to accept the amount of data you attempted to add.";
    case kRecordDeleted:
        return "Record is deleted.";
    case kItemNotFound:
        return "Item not found in this collection.";
    case kZeroLengthString:
        return "Field '|' cannot be a zero-length string.";
    default:
        return "Application-defined or object-defined error";
    }
}

} // namespace

std::string ErrorDescription(int number, std::string_view name) {
    const std::string_view text = Template(number);
    std::string description;
    description.reserve(text.size() + name.size());
    for (const char c : text) {
        if (c == '|') {
            description += name;
        } else {
            description += c;
        }
    }
    return description;
}

AppError::AppError(int number) : AppError(number, ErrorDescription(number)) {}

AppError::AppError(int number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

double Divide(double numerator, double denominator) {
    if (denominator == 0.0) {
        throw AppError(kDivisionByZero);
    }
    return numerator / denominator;
}

} // namespace common
