#include "common/AppError.h"

namespace common {

std::string ErrorDescription(int number) {
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
    case kFileNotFound:
        return "File not found";
    case kInputPastEnd:
        return "Input past end of file";
    case kInvalidNull:
        return "Invalid use of Null";
    case kNoCurrentRecord:
        return "No current record.";
    default:
        return "Application-defined or object-defined error";
    }
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
