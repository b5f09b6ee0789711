#include "document/NewDocument.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/FreeFields.h"
#include "document/WorkDatabase.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <SQLiteCpp/Transaction.h>
#include <cmath>

namespace document {

namespace {

constexpr int kMostLines = 32767;

void Call(const std::function<void()>& hook) {
    if (hook) {
        hook();
    }
}

// The number of lines asked for: the number the answer begins with, fraction kept; asked again
// while it is below 0. Cancel and an empty answer give 0.
double AskLineCount() {
    for (;;) {
        const QString answer =
            platform::InputBox(platform::ResText(601), QString(), QStringLiteral("10"));
        const double count = common::NumericValue(answer.toStdString());
        if (count >= 0) {
            return count;
        }
    }
}

// The free fields of the new document: "standard.hdr" when it exists and the user wants it (none
// when the user does not), the built-in set when there is no such file.
FreeFieldModel ChooseFreeFields(const QString& programFolder) {
    const QString path = StandardHeaderPath(programFolder);
    if (!QFileInfo::exists(path)) {
        return BuiltInFreeFields();
    }
    const platform::Answer answer = platform::MsgBox(
        platform::ResText(810), platform::Buttons::YesNo, platform::Icon::Question, 1);
    if (answer != platform::Answer::Yes) {
        FreeFieldModel none;
        none.FreeFieldSeparator = Document().FreeFieldSeparator;
        return none;
    }
    return ReadStandardHeader(path);
}

// NewDocument is set only while the period dialog is shown, whatever way the dialog ends.
class NewDocumentFlag {
public:
    NewDocumentFlag() { Document().NewDocument = -1; }
    ~NewDocumentFlag() { Document().NewDocument = 0; }
    NewDocumentFlag(const NewDocumentFlag&) = delete;
    NewDocumentFlag& operator=(const NewDocumentFlag&) = delete;
};

} // namespace

bool CreationNouveau(int lines, const NewDocumentHooks& hooks) {
    const double count = lines != 0 ? lines : AskLineCount();
    if (count == 0) {
        return false;
    }
    // A count that gives no record or more than the command handles stops before anything changes.
    const double records = std::nearbyint(count);
    if (!(records >= 1 && records <= kMostLines)) {
        return false;
    }
    DocumentState& state = Document();
    if (state.FileModified != 0) {
        if (hooks.checkSauvegarde && hooks.checkSauvegarde() == 1) {
            return false;
        }
        state.FileModified = 0;
    }

    // The definitions are read before the table is touched, so that an unreadable file ends New
    // with the document as it was.
    FreeFieldModel model;
    try {
        const QString folder = hooks.programFolder.isEmpty()
                                   ? QCoreApplication::applicationDirPath()
                                   : hooks.programFolder;
        model = ChooseFreeFields(folder);
    } catch (const common::AppError&) {
        return false;
    }

    state.CurrentFile.clear();
    if (hooks.setCaption) {
        hooks.setCaption(QStringLiteral("DOVazov"));
    }
    {
        SQLite::Transaction transaction(WorkDb());
        WorkDb().exec("DELETE FROM DOVAZOV");
        Data1().setRecordSource(QStringLiteral("DOVAZOV"));
        Data1().refresh();
        RecordSet clone = Data1().recordset().clone();
        clone.addNewRecords(Record{}, static_cast<int>(records));
        transaction.commit();
    }
    Call(hooks.dimensionneGrille);
    InstallFreeFields(model);

    Data1().refresh();
    Data1().recordset().moveLast();
    Call(hooks.showDocumentBoxes);
    {
        const NewDocumentFlag flag;
        Call(hooks.showPeriodDialog);
    }
    Call(hooks.activeMenus);
    // Last, so that nothing done on the way (the boxes above among them) leaves the new document
    // marked as changed.
    state.FileModified = 0;
    return true;
}

} // namespace document
