#include "ImportFixture.h"
#include "exchange/GarminImportWindow.h"
#include "exchange/GarminOptionsDialog.h"
#include "exchange/GarminOptionsSample.h"
#include "exchange/ImportChooserWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>

namespace {

using import_test::ImportTest;
using testing_support::ChooseFile;
using testing_support::ScriptedPrompter;

TEST(GarminOptionsSampleTest, SamplesCutFromTheExample) {
    const QString example = QStringLiteral("17-APR-02");
    EXPECT_EQ(exchange::CutSample(example, QStringLiteral("4"), QStringLiteral("3")),
              QStringLiteral("APR"));
    EXPECT_EQ(exchange::CutSample(example, QStringLiteral("1"), QStringLiteral("20")), example);
    EXPECT_EQ(exchange::CutSample(example, QStringLiteral("12"), QStringLiteral("3")), QString());
    EXPECT_EQ(exchange::CutSample(example, QStringLiteral("0"), QStringLiteral("3")), QString());
    EXPECT_FALSE(exchange::CutSample(example, QStringLiteral("x"), QStringLiteral("3")));
    EXPECT_FALSE(exchange::CutSample(example, QStringLiteral("1"), QStringLiteral("99999")));
    EXPECT_FALSE(exchange::CutSample(QString(), QStringLiteral("1"), QStringLiteral("3")));
}

TEST(GarminOptionsSampleTest, TheExampleIsTheFirstNonEmptyCell) {
    const std::vector<QStringList> items{{QStringLiteral("W"), QString()},
                                         {QStringLiteral("W"), QStringLiteral("second")}};
    EXPECT_EQ(exchange::FindExample(items, 1), QStringLiteral("second"));
    EXPECT_EQ(exchange::FindExample(items, 5), QString());
    EXPECT_FALSE(exchange::FindExample({}, 1));
}

class ImportWindowsTest : public ImportTest {};

TEST_F(ImportWindowsTest, TheChooserHandsItsChoiceThroughTheMailbox) {
    QLabel mailbox(QStringLiteral("7"));
    {
        exchange::frmImportation chooser(&mailbox);
        chooser.reject(); // the close box
        EXPECT_EQ(mailbox.text(), QLatin1String("-1"));
    }
    exchange::frmImportation chooser(&mailbox);
    chooser.cboImportation()->setCurrentIndex(12);
    EXPECT_EQ(chooser.lblImportation(3)->text(), platform::ResText(697));
    chooser.cmdImportation_Click(1);
    EXPECT_EQ(mailbox.text(), QLatin1String("12"));
    EXPECT_TRUE(exchange::Imports().ImportCoordFile.isEmpty());
    exchange::frmImportation again(&mailbox);
    EXPECT_EQ(again.cboImportation()->currentIndex(), 12);
}

TEST_F(ImportWindowsTest, TheChooserPreviewsThreeLines) {
    QLabel mailbox;
    exchange::frmImportation chooser(&mailbox);
    ScriptedPrompter prompter;
    prompter.expect(ChooseFile(WriteLines(QStringLiteral("one.txt"), {QStringLiteral("only")})));
    chooser.cmdImportation_Click(0);
    EXPECT_EQ(chooser.lblImportation(5)->text(), QLatin1String("only\n\n"));
    chooser.cmdImportation_Click(1);
    EXPECT_EQ(exchange::Imports().ImportCoordFile, path(QStringLiteral("one.txt")));
}

TEST_F(ImportWindowsTest, TheOptionsDialogOpensFromTheSettings) {
    exchange::objGraminImport s;
    s.DateImport = 7;
    s.DateField = QStringLiteral("Gone");
    exchange::frmGarminOptions dialog({QStringLiteral("Header"), QStringLiteral("Date")},
                                      {{QStringLiteral("Waypoint"), QStringLiteral("17-APR-02")}});
    dialog.Open(s);
    EXPECT_TRUE(dialog.optDate(2)->isChecked());
    EXPECT_EQ(dialog.cmbFieldDate()->currentIndex(), 0);
    EXPECT_EQ(dialog.txtDate()->displayText(), QLatin1String("____/__/__"));
    dialog.cmbFieldDate()->setCurrentIndex(1);
    dialog.DetTxtDateExemple();
    dialog.txtDateChar(0)->setText(QStringLiteral("4"));
    dialog.txtDateChar(1)->setText(QStringLiteral("3"));
    EXPECT_EQ(dialog.lblSampleDate()->text(), QLatin1String("APR"));
    dialog.SauveOptions();
    const exchange::objGraminImport stored = exchange::LoadGarminImportSettings();
    EXPECT_EQ(stored.DateImport, 2);
    EXPECT_EQ(stored.DateFixed, QLatin1String("____/__/__"));
    EXPECT_EQ(stored.DateField, QLatin1String("Date"));
    EXPECT_EQ(stored.DateBegin, 4);
}

TEST_F(ImportWindowsTest, TheWaypointWindowListsAndImports) {
    const QString file = WriteLines(QStringLiteral("wpt.txt"),
                                    {QStringLiteral("Grid\tLat/Lon hddd.ddddd\u00b0\t"),
                                     QStringLiteral("Datum\tWGS 84\t"), QString(),
                                     QStringLiteral("Header\tName\tDescription\tType\tPosition\t"),
                                     QStringLiteral("Waypoint\tA\tfirst\tx\tN50.5 E4.25\t"),
                                     QStringLiteral("Waypoint\tB\tsecond\tx\tN51.5 E4.25\t")});
    exchange::frmImportGarmin window(file, 0, {});
    EXPECT_EQ(window.cmbGrid()->currentIndex(), 0);
    EXPECT_EQ(window.LV()->columnCount(), 5);
    ASSERT_EQ(window.LV()->topLevelItemCount(), 2);
    EXPECT_EQ(window.LV()->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_TRUE(window.txtHeader()->toPlainText().startsWith(file));
    window.LV()->topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    window.cmdImportGarmin_Click(0);
    ASSERT_EQ(RowCount(), 1);
    EXPECT_EQ(*Table().at(0).COMMENT, QLatin1String("A - first"));
}

TEST_F(ImportWindowsTest, AWrongFileTypeIsSaid) {
    ScriptedPrompter prompter;
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    exchange::frmImportGarmin window(
        WriteLines(QStringLiteral("x.txt"), {QStringLiteral("Route\tx")}), 0, {});
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text, QLatin1String("Wrong file type!"));
    EXPECT_EQ(window.LV()->topLevelItemCount(), 0);
}

// After a read error the window keeps what it read before: the header lines, the grid, the datum
// and the waypoints of the lines before the faulty one.
TEST_F(ImportWindowsTest, AReadErrorKeepsWhatWasReadSoFar) {
    const QString grid = QStringLiteral("Grid\tMGRS\t");
    const QString datum = QStringLiteral("Datum\tWGS 84\t");
    const QString header = QStringLiteral("Header\tName\tDescription\tPosition\t");
    const QString waypoint = QStringLiteral("Waypoint\tA\tfirst\t31UES1234567890\t");
    struct Case {
        QStringList lines;
        int gridIndex;
        const char* datum;
        int headerLines; // lines of the file in the header box after the path
        int columns;
        int items;
    };
    const Case cases[] = {
        {{grid}, 3, "", 1, 0, 0},
        {{grid, datum}, 3, "WGS84", 2, 0, 0},
        {{grid, datum, QString()}, 3, "WGS84", 3, 0, 0},
        {{grid, datum, QString(), header, waypoint, QStringLiteral("Waypoint\t1\t2\t3\t4\t5")},
         3,
         "WGS84",
         3,
         4,
         1},
    };
    for (const Case& c : cases) {
        const QString file = WriteLines(QStringLiteral("short.txt"), c.lines);
        ScriptedPrompter prompter;
        prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
        exchange::frmImportGarmin window(file, 0, {});
        const QString where = c.lines.join(QLatin1Char('|'));
        ASSERT_EQ(prompter.messages().size(), 1U) << where.toStdString();
        EXPECT_TRUE(prompter.messages()[0].text.startsWith(QStringLiteral("Error ")))
            << prompter.messages()[0].text.toStdString();
        EXPECT_EQ(window.cmbGrid()->currentIndex(), c.gridIndex) << where.toStdString();
        EXPECT_EQ(window.lblDatum()->text(), QLatin1String(c.datum)) << where.toStdString();
        const QStringList shown = window.txtHeader()->toPlainText().split(QLatin1Char('\n'));
        ASSERT_EQ(shown.size(), 1 + c.headerLines) << where.toStdString();
        EXPECT_EQ(shown[0].trimmed(), file);
        EXPECT_EQ(shown[1].trimmed(), grid.trimmed());
        EXPECT_EQ(window.LV()->columnCount() > 1 ? window.LV()->columnCount() : 0, c.columns)
            << where.toStdString();
        EXPECT_EQ(window.LV()->topLevelItemCount(), c.items) << where.toStdString();
    }
}

} // namespace
