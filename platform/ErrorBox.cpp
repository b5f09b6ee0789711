#include "platform/ErrorBox.h"

#include "common/AppError.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

namespace platform {

QString ErrorBoxText(long number, const QString& description, const QString& context) {
    QString text;
    if (!context.isEmpty()) {
        text = context + QStringLiteral("\r\r");
    }
    // An error the program raised without a number (0) has nothing to say on that line.
    if (number == 0) {
        return text + description;
    }
    return text + QStringLiteral("Error ") + QString::number(number) + QLatin1Char('\r') +
           description;
}

void ShowErrorOf(const std::exception& error) {
    if (const auto* numbered = dynamic_cast<const common::AppError*>(&error)) {
        ShowError(numbered->number(), QString::fromStdString(numbered->description()));
    } else {
        ShowError(0, QString::fromUtf8(error.what()));
    }
}

void ShowError(long number, const QString& description, const QString& context) {
    ResetCursor();
    MsgBox(ErrorBoxText(number, description, context), Buttons::Ok, Icon::Exclamation);
}

} // namespace platform
