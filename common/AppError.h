#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace common {

// The numbers of the run-time errors the program raises and reports, as the old language and its
// database engine numbered them. Every error number in the program is named here, once.
enum ErrorNumber : int {
    kInvalidCall = 5,
    kOverflow = 6,
    kSubscript = 9,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
    kOutOfStringSpace = 14,
    kFileNotFound = 53,
    kInputPastEnd = 62,
    kPathFileAccess = 75,
    kPathNotFound = 76,
    kObjectNotSet = 91,
    kInvalidNull = 94,
    kInvalidPicture = 481,
    kPrinterError = 482,
    kNoCurrentRecord = 3021,
    kDatabaseError = 3049, // the database cannot be opened or the engine failed
    kQueryError = 3075,
    kTableNotFound = 3078,
    kFieldNotUpdatable = 3113,
    kInvalidBookmark = 3159,
    kFieldTooSmall = 3163,
    kRecordDeleted = 3167,
    kItemNotFound = 3265,
    kZeroLengthString = 3315,
};

// The standard description of an error number ("Overflow", "Subscript out of range", ...). Where
// the engine's text names a field, table, file or expression, `name` takes that place ("Cannot
// update 'Counter'; field not updatable."). A number not in the table has the description of an
// error the program defined itself.
std::string ErrorDescription(int number, std::string_view name = {});

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
