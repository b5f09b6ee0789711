#include "exchange/ExportCommands.h"

#include "document/DataControl.h"
#include "document/RecordSet.h"
#include "exchange/ExportText.h"
#include "exchange/OptionsExport.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QFileInfo>

namespace exchange {

QString ChooseExportFile(const QString& filter,
                         const std::function<QStringList(const QString&)>& filesOf,
                         const std::function<void(const QString&)>& check) {
    for (;;) {
        platform::FileDialogRequest request;
        request.filter = filter;
        request.fileName = QString();
        // The question below covers the companion files too; the dialog's own would not.
        request.confirmOverwrite = false;
        const QString path = platform::CurrentPrompter().saveFile(request);
        if (path.isEmpty()) {
            return {};
        }
        if (check) {
            check(path);
        }
        bool exists = false;
        for (const QString& file : filesOf(path)) {
            exists = exists || QFileInfo::exists(file);
        }
        if (!exists) {
            return path;
        }
        platform::BeepUnlessSilent();
        switch (platform::MsgBox(platform::ResText(500), platform::Buttons::YesNoCancel,
                                 platform::Icon::Exclamation)) {
        case platform::Answer::Yes:
            return path;
        case platform::Answer::No:
            continue;
        default:
            return {};
        }
    }
}

void ExportText(int mode, const document::RecordSet& records, const ExportChoice& choice) {
    const QString path = ChooseExportFile(QStringLiteral("Fichiers texte (*.txt)|*.txt"),
                                          [](const QString& file) { return QStringList{file}; });
    if (path.isEmpty()) {
        return;
    }
    platform::WaitCursor hourglass;
    WriteTextExport(path, records, choice, mode);
}

void ExportDatabase(ExportTarget target, const document::RecordSet& records,
                    const ExportChoice& choice, const QString& memo) {
    const QString path = ChooseExportFile(
        ExportFilter(target), [target](const QString& file) { return ExportFiles(target, file); },
        [target](const QString& file) { TableNameOf(target, file); });
    if (path.isEmpty()) {
        return;
    }
    platform::WaitCursor hourglass;
    WriteTableExport(target, path, records, choice, memo);
}

void MnuExpAsciiMode_Click(QWidget* parent, int index) {
    const document::RecordSet records = document::Data1().recordset().clone();
    if (!RunOptionsExport(parent)) {
        return;
    }
    ExportText(index, records, CurrentExportChoice());
}

void MnuExpDB_Click(QWidget* parent, int index, const QString& title, const QString& comment) {
    const document::RecordSet records = document::Data1().recordset().clone();
    if (!RunOptionsExport(parent)) {
        return;
    }
    ExportDatabase(static_cast<ExportTarget>(index), records, CurrentExportChoice(),
                   MemoText(title, comment));
}

QString SqliteCaption(const QString& accessCaption) {
    QString caption = accessCaption;
    caption.replace(QStringLiteral("MS-Access"), QStringLiteral("SQLite"));
    return caption;
}

} // namespace exchange
