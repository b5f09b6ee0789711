#include "../support/ScopedEnv.h"
#include "MainWindowFixture.h"
#include "app/DesktopOpener.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QUrl>

namespace {

using testing_support::AnswerWith;
using testing_support::ScopedEnv;

class HelpOpeningTest : public app_test::MainWindowTest {
protected:
    // A desktop whose PATH holds only `opener` as xdg-open (none when empty); the script records
    // what it was asked to open.
    ScopedEnv DesktopWith(const QByteArray& opener) {
        const QString bin = path(QStringLiteral("bin"));
        QDir().mkpath(bin);
        QFile::remove(bin + QStringLiteral("/xdg-open"));
        if (!opener.isEmpty()) {
            QFile script(bin + QStringLiteral("/xdg-open"));
            EXPECT_TRUE(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\nprintf '%s' \"$1\" > '" + asked().toUtf8() + "'\n" + opener +
                         "\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        return ScopedEnv("PATH", bin.toUtf8());
    }
    QString asked() const { return path(QStringLiteral("asked.txt")); }
};

// Help > Help on a desktop that cannot show the page says so and names the page, whether there is
// no opener at all or the opener finds no browser; an opener that shows it is asked for the page
// and nothing more is said.
TEST_F(HelpOpeningTest, HelpOpensThePageOrSaysWhereItIs) {
    const struct {
        const char* name;
        QByteArray opener;
        bool shown;
    } cases[] = {
        {"no opener", "", false},
        {"opener without a browser", "exit 3", false},
        {"opener with a browser", "exit 0", true},
    };
    platform::SaveSetting("DOVAZOV", "Language", "Language", QString::number(platform::kEnglish));
    ASSERT_TRUE(Load());
    form_->openHelp = [](const QString& page) { app::OpenHelpPage(page); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(asked());
        const ScopedEnv desktop = DesktopWith(c.opener);
        testing_support::ScriptedPrompter prompter;
        if (!c.shown) {
            prompter.expect(AnswerWith(platform::Answer::Ok));
        }
        form_->MnuInfo[0]->trigger();
        const QString page = QDir(document::WorkFolder()).filePath(form_->helpFile());
        // The opener's answer comes through the event loop.
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() &&
               (c.shown ? !QFile::exists(asked()) || QFile(asked()).size() == 0
                        : prompter.messages().empty())) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        // Time for a message that should not come.
        QTest::qWait(c.shown ? 300 : 0);
        if (c.shown) {
            EXPECT_TRUE(prompter.messages().empty());
            QFile file(asked());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(QUrl(QString::fromUtf8(file.readAll())).toLocalFile(), page);
        } else {
            ASSERT_EQ(prompter.messages().size(), 1U);
            EXPECT_EQ(prompter.messages()[0].text, app::HelpNotShownText(page));
            EXPECT_TRUE(prompter.messages()[0].text.contains(page));
            EXPECT_TRUE(prompter.messages()[0].text.startsWith(
                QStringLiteral("No web browser could open the help.")));
            EXPECT_EQ(prompter.messages()[0].icon, platform::Icon::Exclamation);
        }
    }
}

} // namespace
