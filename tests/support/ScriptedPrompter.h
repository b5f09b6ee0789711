#pragma once

#include "platform/Prompter.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <variant>
#include <vector>

namespace testing_support {

// What a test expects to be asked, and the answer it gives.
struct Reply {
    enum class Kind { Message, Input, OpenFile, SaveFile };
    Kind kind;
    platform::Answer answer = platform::Answer::Ok; // for a message
    QString text;                                   // typed text or chosen path
};

// An input box as asked: its prompt, title and default answer.
struct InputRequest {
    QString prompt;
    QString title;
    QString defaultText;
    bool operator==(const InputRequest&) const = default;
};

Reply AnswerWith(platform::Answer answer);
Reply TypeText(const QString& text);
Reply ChooseFile(const QString& path); // to an open-file dialog
Reply SaveAs(const QString& path);     // to a save-file dialog

// A prompter for tests: answers from a queue, records every prompt, and fails the test on a prompt
// it was not told to expect or of another kind. Installs itself while it lives and then puts
// back the prompter that was installed before it.
class ScriptedPrompter final : public platform::Prompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    void expect(Reply reply) { replies_.push_back(std::move(reply)); }

    platform::Answer message(const platform::MessageRequest& request) override;
    QString input(const QString& prompt, const QString& title, const QString& defaultText) override;
    QString openFile(const platform::FileDialogRequest& request) override;
    QString saveFile(const platform::FileDialogRequest& request) override;
    void beep() override { ++beeps_; }

    const std::vector<platform::MessageRequest>& messages() const { return messages_; }
    const QStringList& inputPrompts() const { return inputPrompts_; }
    const std::vector<InputRequest>& inputs() const { return inputs_; }
    const std::vector<platform::FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    int beeps() const { return beeps_; }
    std::size_t pending() const { return replies_.size(); }

private:
    Reply next(Reply::Kind kind, const QString& what);

    platform::Prompter* previous_; // restored when this one ends, so prompters can nest
    std::deque<Reply> replies_;
    std::vector<platform::MessageRequest> messages_;
    QStringList inputPrompts_;
    std::vector<InputRequest> inputs_;
    std::vector<platform::FileDialogRequest> fileDialogs_;
    int beeps_ = 0;
};

} // namespace testing_support
