#pragma once

#include "../support/ScriptedPrompter.h"
#include "../support/TempSettings.h"
#include "app/Form1.h"
#include "app/Start.h"
#include "document/DataControl.h"
#include "document/DocumentState.h"
#include "document/WorkDatabase.h"
#include "geodesy/DatumTables.h"
#include "platform/ProgramSettings.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace app_test {

// A fresh settings store, working folder and document; the real datum database. `Load` runs the
// main window's load step.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        document::ResetDocumentState();
        document::Data1().reset();
        platform::ResetProgramSettings();
        geodesy::ResetDatumState();
        platform::SetLangue(platform::kFrench);
        platform::SaveSetting("ZEB", "Datum", "DB", DOVAZOV_DATUM_DB);
        platform::SaveSetting("DOVazov", "Config", "WorkingDir", path("work"));
        ASSERT_TRUE(QDir().mkpath(path("work")));
        ASSERT_TRUE(QDir().mkpath(path("program")));
        app::ProgramFolder() = path("program");
    }
    void TearDown() override {
        form_.reset();
        document::Data1().reset();
        document::CloseWorkDatabase();
        document::ResetDocumentState();
        platform::ResetProgramSettings();
        geodesy::ResetDatumState();
        platform::SetLangue(platform::kFrench);
        app::ProgramFolder().clear();
    }

    // Runs the load step; the form's end of program only counts.
    bool Load(const QString& commandLine = {}) {
        form_ = std::make_unique<app::Form1>();
        form_->endProgram = [this] { ++ended_; };
        form_->openHelp = [this](const QString& page) { helpOpened_ = page; };
        return form_->Form_Load(commandLine);
    }

    QString path(const QString& name) const { return dir_.filePath(name); }

    // A copy of a distribution fixture in the test folder.
    QString CopyFixture(const QString& fixture, const QString& name) const {
        const QString target = path(name);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        EXPECT_TRUE(
            QFile::copy(QStringLiteral(DOVAZOV_FIXTURES "/distribution/") + fixture, target));
        return target;
    }

    // Opens a copy of the current-layout fixture as File > Open does after its dialog.
    QString OpenFixture(const QString& name = QStringLiteral("bees.deg")) {
        const QString file = CopyFixture(QStringLiteral("current.deg"), name);
        EXPECT_TRUE(document::OpenDistribution(file, form_->readerHooks()));
        return file;
    }

    static QByteArray FileBytes(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    testing_support::TempSettings store_;
    QTemporaryDir dir_;
    std::unique_ptr<app::Form1> form_;
    int ended_ = 0;
    QString helpOpened_;
};

// While it lives, closes every modal dialog that an event loop shows (the period dialog of New).
class DialogCloser {
public:
    DialogCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                dialog->close();
                ++closed;
            }
        });
        timer_.start(5);
    }
    int closed = 0;

private:
    QTimer timer_;
};

} // namespace app_test
