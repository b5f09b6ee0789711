#pragma once

#include <stdexcept>
#include <string>

namespace common {

// Numbers of the run-time errors the program raises and reports by number.
enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kSubscript = 9,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
    kFileNotFound = 53,
    kInputPastEnd = 62,
    kInvalidNull = 94,
    kNoCurrentRecord = 3021,
    kDatabaseError = 3049,
};

// The standard description of an error number ("Overflow", "Subscript out of range", ...).
std::string ErrorDescription(int number);

// An error that carries the number and description the error box shows.
class AppError : public std::runtime_error {
public:
    explicit AppError(int number);
    AppError(int number, const std::string& description);

    int number() const noexcept { return number_; }
    std::string description() const { return what(); }

private:
    int number_;
};

// Division that raises error 11 instead of producing an infinity or NaN.
double Divide(double numerator, double denominator);

} // namespace common
