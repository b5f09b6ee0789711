#include "common/AppError.h"

#include <gtest/gtest.h>

namespace {

// The descriptions the old language's run-time library and its database engine give these
// numbers, as their reference lists print them.
TEST(ErrorDescription, TheStandardTextOfEachNumber) {
    const struct {
        int number;
        const char* description;
    } cases[] = {
        {5, "Invalid procedure call or argument"},
        {6, "Overflow"},
        {9, "Subscript out of range"},
        {11, "Division by zero"},
        {13, "Type mismatch"},
        {14, "Out of string space"},
        {53, "File not found"},
        {62, "Input past end of file"},
        {75, "Path/File access error"},
        {76, "Path not found"},
        {91, "Object variable or With block variable not set"},
        {94, "Invalid use of Null"},
        {3021, "No current record."},
        {3159, "Not a valid bookmark."},
        {3163, "The field is too small to accept the amount of data you attempted to add."},
        {3167, "Record is deleted."},
        {3265, "Item not found in this collection."},
        {1, "Application-defined or object-defined error"}, // no number of the table
    };
    for (const auto& c : cases) {
        EXPECT_EQ(common::ErrorDescription(c.number), c.description) << c.number;
        const common::AppError error(c.number);
        EXPECT_EQ(error.number(), c.number);
        EXPECT_EQ(error.description(), c.description);
    }
}

TEST(ErrorDescription, NamesWhatFailedWhereTheEngineDoes) {
    EXPECT_EQ(common::ErrorDescription(3113, "Counter"),
              "Cannot update 'Counter'; field not updatable.");
    EXPECT_EQ(common::ErrorDescription(3315, "DOVAZOV.DATUM"),
              "Field 'DOVAZOV.DATUM' cannot be a zero-length string.");
    EXPECT_EQ(common::ErrorDescription(6, "ignored"), "Overflow");
}

} // namespace
