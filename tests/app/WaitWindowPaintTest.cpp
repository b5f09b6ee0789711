#include "MainWindowFixture.h"
#include "app/frmMessage.h"
#include "document/DistributionReader.h"

#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <set>

namespace {

using testing_support::ScriptedPrompter;

// Records what is painted while long work runs: the wait window's text, and the values of the
// progress bar.
class PaintRecorder final : public QObject {
public:
    QProgressBar* bar = nullptr;
    QStringList labelTexts;
    std::set<int> barValues;
    int labelPaintsBeforeTheEnd = 0; // painted before the bar reached 100

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            if (watched->objectName() == QLatin1String("lblMsg")) {
                labelTexts << static_cast<QLabel*>(watched)->text();
                if (bar != nullptr && bar->value() < 100) {
                    ++labelPaintsBeforeTheEnd;
                }
            } else if (watched == bar) {
                barValues.insert(bar->value());
            }
        }
        return false;
    }
};

class WaitWindowPaintTest : public app_test::MainWindowTest {};

TEST_F(WaitWindowPaintTest, TheWaitWindowAndTheProgressBarPaintDuringALongOpen) {
    {
        ScriptedPrompter quiet;
        ASSERT_TRUE(Load());
    }
    form_->show();
    QCoreApplication::processEvents();

    // A generated file of 200,000 records.
    const QString file = path("large.deg");
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write("<DOVAZOV 2.0>\r\nEUR-M\r\n<END>\r\nLarge\r\nGenerated\r\n"
                  " 0000 - 2011   0 - 0   0 - 0\r\nS\r\nGenerated\r\n");
        const QByteArray line = "1K+50.50000   4.25000    3    1" + QByteArray(10, ' ') +
                                "FEUR-Mdeg 50.5 4.25" + QByteArray(17, ' ') + "comment\r\n";
        QByteArray block;
        for (int i = 0; i < 1000; ++i) {
            block += line;
        }
        for (int i = 0; i < 200; ++i) {
            out.write(block);
        }
    }

    PaintRecorder recorder;
    recorder.bar = form_->findChild<QProgressBar*>();
    ASSERT_NE(recorder.bar, nullptr);
    QCoreApplication::instance()->installEventFilter(&recorder);
    ScriptedPrompter prompter;
    const bool opened = document::OpenDistribution(file, form_->readerHooks());
    QCoreApplication::instance()->removeEventFilter(&recorder);
    ASSERT_TRUE(opened);
    ASSERT_EQ(document::Data1().recordset().recordCount(), 200000);

    // The wait window showed its text on screen while the records were being read.
    ASSERT_FALSE(recorder.labelTexts.isEmpty());
    EXPECT_TRUE(recorder.labelTexts.front().endsWith(file))
        << recorder.labelTexts.front().toStdString();
    EXPECT_GT(recorder.labelPaintsBeforeTheEnd, 0);
    // The bar was painted as it moved, not only at its start and end.
    int between = 0;
    for (const int value : recorder.barValues) {
        between += value > 0 && value < 100 ? 1 : 0;
    }
    EXPECT_GE(between, 5);
}

} // namespace
