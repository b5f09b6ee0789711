#pragma once

#include "../support/RealDatums.h"
#include "../support/ScriptedPrompter.h"
#include "WorkTableFixture.h"
#include "document/DistributionReader.h"
#include "document/DistributionWriter.h"
#include "document/FreeFields.h"
#include "geodesy/DatumTables.h"
#include "platform/Feedback.h"
#include "platform/StringTable.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <cmath>
#include <vector>

namespace testing_support {

// Records what the wait window and the progress bar were asked to show.
class RecordingFeedback final : public platform::Feedback {
public:
    RecordingFeedback() { platform::SetFeedback(this); }
    ~RecordingFeedback() override { platform::SetFeedback(nullptr); }
    void showMessage(const QString& text) override {
        messages.append(text);
        messageShown = true;
    }
    void closeMessage() override { messageShown = false; }
    void setProgressVisible(bool visible) override { progressShown = visible; }
    void setProgressValue(int value) override { progress.push_back(value); }

    QStringList messages;
    std::vector<int> progress;
    bool messageShown = false;
    bool progressShown = false;
};

// A working table, the real datum tables, English texts and a scripted prompter and feedback; the
// reader's window hooks write into members.
class DistributionTest : public WorkTableTest {
protected:
    void SetUp() override {
        WorkTableTest::SetUp();
        ASSERT_EQ(LoadRealDatums(), document::DatumLoad::Loaded);
        geodesy::SetDefaultDatumIndexes();
        platform::SetLangue(platform::kEnglish);
        platform::Settings().Separator = QStringLiteral(",");
        ASSERT_TRUE(QDir().mkpath(programFolder()));
        hooks_.programFolder = programFolder();
        hooks_.setCaption = [this](const QString& text) { caption_ = text; };
        hooks_.showDocumentBoxes = [this](const QString& title, const QString& comment) {
            title_ = title;
            comment_ = comment;
        };
        hooks_.showDestCode = [this](const QString& code) { statusDatum_ = code; };
        hooks_.majLastFiles = [this](const QString& file) { recent_.append(file); };
    }
    void TearDown() override {
        WorkTableTest::TearDown();
        geodesy::ResetDatumState();
        platform::SetLangue(platform::kFrench);
    }

    static QString Fixture(const QString& name) {
        return QStringLiteral(DOVAZOV_FIXTURES "/distribution/") + name;
    }
    QString programFolder() const { return folder() + QStringLiteral("/program"); }
    QString path(const QString& name) const { return folder() + QLatin1Char('/') + name; }

    // Writes bytes to a file of the test folder and returns its path.
    QString WriteFile(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    static QByteArray ReadBytes(const QString& file) {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }

    // The table in Counter order.
    static std::vector<document::Record> Table() {
        std::vector<document::Record> rows;
        SQLite::Statement query(document::WorkDb(),
                                "SELECT Counter, PERIOD, LATITUDE, LONGITUDE, N1, N2, SEX, DATUM, "
                                "ORIGINAL, DATE, COMMENT FROM DOVAZOV ORDER BY Counter");
        while (query.executeStep()) {
            rows.push_back(document::RecordFromRow(query));
        }
        return rows;
    }
    // The same without the Counters, to compare two reads.
    static std::vector<document::Record> Contents() {
        std::vector<document::Record> rows = Table();
        for (auto& row : rows) {
            row.Counter = 0;
        }
        return rows;
    }

    bool Open(const QString& file) {
        return document::ChargeDeg(file, document::kOpenMode, hooks_);
    }
    bool Merge(const QString& file) {
        hooks_.BoxTitre = title_;
        hooks_.Commentaire = comment_;
        return document::ChargeDeg(file, document::kMergeMode, hooks_);
    }
    document::DocumentTexts Texts() const { return {title_, comment_}; }

    // A current-layout file from its lines (CR LF, Windows-1252).
    static QByteArray Lines(const QStringList& lines) {
        QByteArray bytes;
        for (const QString& line : lines) {
            bytes += platform::EncodeWindows1252(line) + "\r\n";
        }
        return bytes;
    }
    static QString StatisticsLine() {
        return QStringLiteral("NIND1=000001 OCC1=000001 CAR1=000001 NIND2=000001 OCC2=000001 "
                              "CAR2=000001 NIND3=000001 OCC3=000001 CAR3=000001");
    }

    document::ReaderHooks hooks_;
    QString caption_;
    QString title_;
    QString comment_;
    QString statusDatum_;
    QStringList recent_;
    RecordingFeedback feedback_;
};

} // namespace testing_support
