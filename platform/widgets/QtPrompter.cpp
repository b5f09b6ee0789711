#include "platform/widgets/QtPrompter.h"

#include "platform/DialogFolders.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>
#include <vector>

namespace platform {

namespace {

struct ButtonSet {
    std::vector<std::pair<QMessageBox::StandardButton, Answer>> buttons;
};

ButtonSet ButtonsOf(Buttons buttons) {
    using B = QMessageBox;
    switch (buttons) {
    case Buttons::Ok:
        return {{{B::Ok, Answer::Ok}}};
    case Buttons::OkCancel:
        return {{{B::Ok, Answer::Ok}, {B::Cancel, Answer::Cancel}}};
    case Buttons::AbortRetryIgnore:
        return {
            {{B::Abort, Answer::Abort}, {B::Retry, Answer::Retry}, {B::Ignore, Answer::Ignore}}};
    case Buttons::YesNoCancel:
        return {{{B::Yes, Answer::Yes}, {B::No, Answer::No}, {B::Cancel, Answer::Cancel}}};
    case Buttons::YesNo:
        return {{{B::Yes, Answer::Yes}, {B::No, Answer::No}}};
    case Buttons::RetryCancel:
        return {{{B::Retry, Answer::Retry}, {B::Cancel, Answer::Cancel}}};
    }
    return {{{B::Ok, Answer::Ok}}};
}

QMessageBox::Icon IconOf(Icon icon) {
    switch (icon) {
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString TitleOr(const QString& title) {
    return title.isEmpty() ? QApplication::applicationDisplayName() : title;
}

} // namespace

QString DisplayText(const QString& text) {
    QString out = text;
    out.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

QString QtFileFilter(const QString& filter) {
    if (!filter.contains(QLatin1Char('|'))) {
        return filter;
    }
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!label.contains(QLatin1Char('('))) {
            label += QStringLiteral(" (") + pattern + QLatin1Char(')');
        }
        filters << label;
    }
    return filters.join(QStringLiteral(";;"));
}

Answer QtPrompter::message(const MessageRequest& request) {
    QMessageBox box(IconOf(request.icon), TitleOr(request.title), DisplayText(request.text),
                    QMessageBox::NoButton, QApplication::activeWindow());
    const ButtonSet set = ButtonsOf(request.buttons);
    for (const auto& [button, answer] : set.buttons) {
        box.addButton(button);
    }
    const auto defaultIndex = static_cast<size_t>(request.defaultButton - 1);
    if (defaultIndex < set.buttons.size()) {
        box.setDefaultButton(set.buttons[defaultIndex].first);
    }
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& [button, answer] : set.buttons) {
        if (button == clicked) {
            return answer;
        }
    }
    // The close box answers as Cancel where there is one, otherwise as the only button.
    for (const auto& [button, answer] : set.buttons) {
        if (answer == Answer::Cancel) {
            return answer;
        }
    }
    return set.buttons.back().second;
}

QString QtPrompter::input(const QString& prompt, const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(QApplication::activeWindow(), TitleOr(title), DisplayText(prompt),
                              QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtPrompter::openFile(const FileDialogRequest& request) {
    // Qt's own dialog, whose texts follow the program's language rather than the desktop's.
    return remember(QFileDialog::getOpenFileName(
        QApplication::activeWindow(), request.title, DialogStartPath(request, lastFolder_),
        QtFileFilter(request.filter), nullptr, QFileDialog::DontUseNativeDialog));
}

QString QtPrompter::saveFile(const FileDialogRequest& request) {
    QFileDialog::Options options = QFileDialog::DontUseNativeDialog;
    if (!request.confirmOverwrite) {
        options |= QFileDialog::DontConfirmOverwrite;
    }
    return remember(QFileDialog::getSaveFileName(QApplication::activeWindow(), request.title,
                                                 DialogStartPath(request, lastFolder_),
                                                 QtFileFilter(request.filter), nullptr, options));
}

QString QtPrompter::remember(const QString& chosen) {
    if (!chosen.isEmpty()) {
        lastFolder_ = QFileInfo(chosen).absolutePath();
    }
    return chosen;
}

void QtPrompter::beep() {
    QApplication::beep();
}

void InstallOnScreenPrompter() {
    static QtPrompter onScreen;
    SetOnScreenPrompter(&onScreen);
}

} // namespace platform
