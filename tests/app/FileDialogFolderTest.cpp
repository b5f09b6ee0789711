#include "../support/ScopedEnv.h"
#include "MainWindowFixture.h"
#include "platform/DialogFolders.h"
#include "platform/widgets/QtPrompter.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

namespace {

using platform::DialogStartPath;
using platform::FileDialogRequest;
using testing_support::ScopedEnv;

// A home folder of its own, with or without a documents folder, and no user-dirs file.
class HomeFolder {
public:
    explicit HomeFolder(bool withDocuments)
        : home_("HOME", dir_.path().toUtf8()),
          config_("XDG_CONFIG_HOME", (dir_.path() + QStringLiteral("/config")).toUtf8()) {
        if (withDocuments) {
            QDir(dir_.path()).mkdir(QStringLiteral("Documents"));
        }
    }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    ScopedEnv home_;
    ScopedEnv config_;
};

TEST(DialogFolders, TheDocumentsFolderElseHome) {
    {
        const HomeFolder home(true);
        EXPECT_EQ(platform::DocumentsFolder(), home.path() + QStringLiteral("/Documents/"));
    }
    const HomeFolder home(false);
    EXPECT_EQ(platform::DocumentsFolder(), home.path() + QStringLiteral("/"));
}

TEST(DialogFolders, WhereADialogStarts) {
    const HomeFolder home(true);
    const QString documents = home.path() + QStringLiteral("/Documents/");
    const struct {
        FileDialogRequest request;
        QString lastFolder;
        QString start;
    } cases[] = {
        // The request's folder first, a remembered one included.
        {{{}, {}, "/data/surveys/", {}}, "/chosen", "/data/surveys/"},
        {{{}, {}, "/data/surveys", "a.deg"}, "/chosen", "/data/surveys/a.deg"},
        // A name with its path: where that file is.
        {{{}, {}, {}, "/data/open.deg"}, "/chosen", "/data/open.deg"},
        // Otherwise the folder chosen last in this run...
        {{{}, {}, {}, {}}, "/chosen", "/chosen"},
        {{{}, {}, {}, "a.txt"}, "/chosen", "/chosen/a.txt"},
        // ... and before any was chosen, the user's documents.
        {{{}, {}, {}, {}}, {}, documents},
        {{{}, {}, {}, "a.txt"}, {}, documents + "a.txt"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DialogStartPath(c.request, c.lastFolder), c.start)
            << c.request.folder.toStdString() << " " << c.request.fileName.toStdString();
    }
}

class FileDialogFolderTest : public app_test::MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        platform::SetPrompter(&onScreen_);
    }
    void TearDown() override {
        platform::SetPrompter(nullptr);
        MainWindowTest::TearDown();
    }

    // Runs `command`; in the file dialog it shows, notes its folder and types `fileName` (Escape
    // when empty).
    QString DialogFolder(const std::function<void()>& command, const QString& fileName) {
        QString folder;
        QPointer<QFileDialog> seen;
        int stillOpen = 0;
        constexpr int kTicksToGiveUp = 500;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                return;
            }
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            if (dialog == nullptr || (seen && dialog != seen)) {
                ADD_FAILURE() << "another dialog: " << modal->metaObject()->className();
                modal->close();
                return;
            }
            if (seen) {
                // Still open after the name and Enter: a completion list took the key, or the
                // name typed on a busy machine was completed into another. Give the name again,
                // and give up with a failure rather than wait for ever.
                if (++stillOpen > kTicksToGiveUp) {
                    const auto* name =
                        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                    ADD_FAILURE() << "the file dialog did not take the name "
                                  << fileName.toStdString() << ": "
                                  << (name ? name->text().toStdString() : std::string());
                    static_cast<QDialog*>(dialog)->reject();
                } else if (fileName.isEmpty()) {
                    static_cast<QDialog*>(dialog)->reject();
                } else if (auto* name =
                               dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                           name != nullptr && stillOpen % 50 == 0) {
                    // The name again, whole, once the completion has settled.
                    name->setText(fileName);
                    QTest::keyClick(name, Qt::Key_Return);
                }
                return;
            }
            seen = dialog;
            folder = dialog->directory().absolutePath();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (fileName.isEmpty() || name == nullptr) {
                QTest::keyClick(dialog, Qt::Key_Escape);
                return;
            }
            QTest::keyClicks(name, fileName);
            QTest::keyClick(name, Qt::Key_Return);
        });
        timer.start(10);
        command();
        return folder;
    }

    platform::QtPrompter onScreen_;
};

// The first file dialogs open in the user's documents, not in the program's folder; once the
// user has chosen a file, the next dialogs without a folder of their own open in its folder.
TEST_F(FileDialogFolderTest, TheFirstDialogsOpenInTheDocumentsThenWhereTheUserWent) {
    const HomeFolder home(true);
    const QString documents = home.path() + QStringLiteral("/Documents");
    ASSERT_TRUE(Load());
    OpenFixture(); // a document, for Merge
    form_->ActiveMenus();
    const QString survey = CopyFixture(QStringLiteral("current.deg"), QStringLiteral("sub/a.deg"));

    EXPECT_EQ(DialogFolder([this] { form_->MnuFusionner->trigger(); }, {}), documents);
    EXPECT_EQ(DialogFolder([this] { form_->MnuOuvrir->trigger(); }, survey), documents);
    ASSERT_EQ(document::Document().CurrentFile, survey);
    // Open remembers its folder, as before; the other dialogs follow the user there too.
    EXPECT_EQ(DialogFolder([this] { form_->MnuOuvrir->trigger(); }, {}), path("sub"));
    EXPECT_EQ(DialogFolder([this] { form_->MnuFusionner->trigger(); }, {}), path("sub"));
}

} // namespace
