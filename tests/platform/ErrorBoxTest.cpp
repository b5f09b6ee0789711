#include "platform/ErrorBox.h"

#include "../support/ScriptedPrompter.h"
#include "common/AppError.h"
#include "platform/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

using namespace testing_support;

TEST(ErrorBox, TextLayout) {
    EXPECT_EQ(platform::ErrorBoxText(3021, "No current record."), "Error 3021\rNo current record.");
    EXPECT_EQ(platform::ErrorBoxText(-5, "Odd"), "Error -5\rOdd");
    EXPECT_EQ(platform::ErrorBoxText(53, "File not found", "Opening a.deg"),
              "Opening a.deg\r\rError 53\rFile not found");
    // No number: the text alone, with or without a context.
    EXPECT_EQ(platform::ErrorBoxText(0, "Not a directory: /tmp/x"), "Not a directory: /tmp/x");
    EXPECT_EQ(platform::ErrorBoxText(0, "Not a directory: /tmp/x", "Saving a.deg"),
              "Saving a.deg\r\rNot a directory: /tmp/x");
}

TEST(ErrorBox, ShowsWithExclamationAndTheDefaultPointer) {
    ScriptedPrompter prompter;
    prompter.expect(AnswerWith(platform::Answer::Ok));
    platform::WaitCursor busy;
    platform::WaitCursor busier;
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    platform::ShowError(9, "Subscript out of range");
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, "Error 9\rSubscript out of range");
    EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
    EXPECT_EQ(prompter.messages()[0].buttons, platform::Buttons::Ok);
    EXPECT_TRUE(prompter.messages()[0].title.isEmpty());
}

} // namespace

namespace {

TEST(ErrorBox, CaughtExceptionsShowTheirNumberWhenTheyCarryOne) {
    testing_support::ScriptedPrompter prompter;
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    platform::ShowErrorOf(common::AppError(11));
    platform::ShowErrorOf(std::runtime_error("disk full"));
    ASSERT_EQ(prompter.messages().size(), 2u);
    EXPECT_EQ(prompter.messages()[0].text, "Error 11\rDivision by zero");
    EXPECT_EQ(prompter.messages()[1].text, "disk full");
}

} // namespace
