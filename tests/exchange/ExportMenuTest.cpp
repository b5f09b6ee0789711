// The export menus of the main window reach the exports: options dialog, save dialog, file.

#include "../app/MainWindowFixture.h"
#include "ExportReaders.h"
#include "app/Form1.h"
#include "exchange/OptionsExport.h"

#include <QLineEdit>
#include <QPushButton>

namespace export_test {
namespace {

using testing_support::SaveAs;
using testing_support::ScriptedPrompter;

// While it lives, confirms the export options dialog whenever one is shown.
class OptionsConfirmer {
public:
    OptionsConfirmer() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog =
                    dynamic_cast<exchange::OptionsExport*>(QApplication::activeModalWidget())) {
                dialog->ButOk->click();
                ++confirmed;
            }
        });
        timer_.start(5);
    }
    int confirmed = 0;

private:
    QTimer timer_;
};

class ExportMenuTest : public app_test::MainWindowTest {};

TEST_F(ExportMenuTest, TheTextAndDatabaseEntriesWriteTheShownRecordsAndLeaveTheDocumentAlone) {
    ASSERT_TRUE(Load());
    OpenFixture();
    form_->BoxTitre->setText("Bees");
    form_->Commentaire->setText("2001");
    document::Document().FileModified = 0;
    const int records = document::Data1().recordset().recordCount();
    ASSERT_GT(records, 0);

    {
        ScriptedPrompter prompter;
        prompter.expect(SaveAs(path("bees.txt")));
        OptionsConfirmer confirmer;
        form_->MnuExpAsciiMode[1]->trigger();
        EXPECT_EQ(confirmer.confirmed, 1);
        const QList<QByteArray> lines = FileBytes(path("bees.txt")).split('\n');
        EXPECT_EQ(lines.size(), records + 2); // header, records, nothing after the last line end
        EXPECT_TRUE(lines[0].startsWith("Periode,Latitude,Longitude,N1,N2,Datum"));
    }
    {
        ScriptedPrompter prompter;
        prompter.expect(SaveAs(path("bees.sqlite")));
        OptionsConfirmer confirmer;
        form_->MnuExpDB[0]->trigger();
        ASSERT_EQ(prompter.fileDialogs().size(), 1U);
        EXPECT_EQ(prompter.fileDialogs()[0].filter, "Fichiers SQLite (*.sqlite)|*.sqlite");
        const ReadTable table = ReadSqlite(path("bees.sqlite"));
        EXPECT_EQ(table.tables, QStringList{"bees"});
        ASSERT_EQ(static_cast<int>(table.rows.size()), records);
        EXPECT_EQ(table.rows[0].back().toString(), "Bees / 2001");
    }
    EXPECT_EQ(document::Document().FileModified, 0);
}

} // namespace
} // namespace export_test
