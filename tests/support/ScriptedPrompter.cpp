#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace testing_support {

Reply AnswerWith(platform::Answer answer) {
    return {Reply::Kind::Message, answer, {}};
}
Reply TypeText(const QString& text) {
    return {Reply::Kind::Input, platform::Answer::Ok, text};
}
Reply ChooseFile(const QString& path) {
    return {Reply::Kind::OpenFile, platform::Answer::Ok, path};
}
Reply SaveAs(const QString& path) {
    return {Reply::Kind::SaveFile, platform::Answer::Ok, path};
}

ScriptedPrompter::ScriptedPrompter() : previous_(platform::InstalledPrompter()) {
    platform::SetPrompter(this);
}

ScriptedPrompter::~ScriptedPrompter() {
    platform::SetPrompter(previous_);
    EXPECT_TRUE(replies_.empty()) << replies_.size() << " expected prompt(s) never came";
}

Reply ScriptedPrompter::next(Reply::Kind kind, const QString& what) {
    if (replies_.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << what.toStdString();
        return {kind, platform::Answer::Cancel, {}};
    }
    Reply reply = replies_.front();
    replies_.pop_front();
    if (reply.kind != kind) {
        ADD_FAILURE() << "prompt of another kind than expected: " << what.toStdString();
    }
    return reply;
}

platform::Answer ScriptedPrompter::message(const platform::MessageRequest& request) {
    messages_.push_back(request);
    return next(Reply::Kind::Message, request.text).answer;
}

QString ScriptedPrompter::input(const QString& prompt, const QString& title,
                                const QString& defaultText) {
    inputPrompts_ << prompt;
    inputs_.push_back({prompt, title, defaultText});
    return next(Reply::Kind::Input, prompt).text;
}

QString ScriptedPrompter::openFile(const platform::FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    return next(Reply::Kind::OpenFile, request.title).text;
}

QString ScriptedPrompter::saveFile(const platform::FileDialogRequest& request) {
    fileDialogs_.push_back(request);
    return next(Reply::Kind::SaveFile, request.title).text;
}

} // namespace testing_support
