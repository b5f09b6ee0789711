#include "platform/StringTable.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using platform::ResText;
using platform::SetLangue;
using platform::StringEntry;

constexpr int kLanguages[] = {platform::kFrench, platform::kEnglish, platform::kGerman,
                              platform::kItalian, platform::kDutch};

class StringTableTest : public ::testing::Test {
protected:
    void TearDown() override { SetLangue(platform::kEnglish); }
};

TEST_F(StringTableTest, EntryIsIdPlusLanguageOffset) {
    SetLangue(platform::kFrench);
    EXPECT_EQ(ResText(800), "Le fichier DATUM.MDB est introuvable!");
    EXPECT_EQ(ResText(1), "&Fichier");
    SetLangue(platform::kEnglish);
    EXPECT_EQ(ResText(800), "The file DATUM.MDB cannot be found!");
    EXPECT_EQ(ResText(1), "&File");
    EXPECT_EQ(ResText(53), "&Central Europe "); // trailing blank kept
    for (int language : {platform::kGerman, platform::kItalian, platform::kDutch}) {
        SetLangue(language);
        EXPECT_FALSE(ResText(800).isEmpty()) << language;
        EXPECT_NE(ResText(800), *StringEntry(800)) << language;
    }
}

TEST_F(StringTableTest, UnknownStoredLanguageFallsBackToEnglish) {
    for (int stored : {2000, 1, -1000, 6000, 32767}) {
        SetLangue(stored);
        EXPECT_EQ(platform::Langue(), platform::kEnglish) << stored;
    }
    SetLangue(platform::kDutch);
    EXPECT_EQ(platform::Langue(), platform::kDutch);
}

TEST_F(StringTableTest, BlocksHaveTheSameIdsButTheDocumentedGaps) {
    for (int id = 1; id <= 814; ++id) {
        if (!StringEntry(id)) {
            continue;
        }
        const bool englishGap = id == 506 || id == 507;
        const bool dutchGap = id == 173 || id == 506 || id == 507;
        EXPECT_EQ(StringEntry(id + platform::kEnglish).has_value(), !englishGap) << id;
        EXPECT_EQ(StringEntry(id + platform::kDutch).has_value(), !dutchGap) << id;
        EXPECT_TRUE(StringEntry(id + platform::kGerman).has_value()) << id;
        EXPECT_TRUE(StringEntry(id + platform::kItalian).has_value()) << id;
    }
    for (int language : kLanguages) {
        for (int id : {0, 815, 999}) {
            EXPECT_FALSE(StringEntry(id + language).has_value()) << id + language;
        }
    }
}

TEST_F(StringTableTest, ParsesEscapesAndKeepsBlanks) {
    const auto entry = platform::ParseStringLine("502\tA\\rB\\t \\\\ ");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->first, 502);
    EXPECT_EQ(entry->second, "A\rB\t \\ ");
    EXPECT_FALSE(platform::ParseStringLine("# comment"));
    EXPECT_FALSE(platform::ParseStringLine(""));
    EXPECT_FALSE(platform::ParseStringLine("x\ty"));
}

// Every id the program looks up (a literal ResText(n) anywhere in the sources, and the ranges
// looked up by computed ids) exists in all five blocks.
TEST_F(StringTableTest, EveryIdTheCodeLooksUpExistsInAllLanguages) {
    QSet<int> ids;
    const QRegularExpression call(QStringLiteral(R"(ResText\(\s*(\d+)\s*\))"));
    const QStringList folders = {"app",      "document", "geodesy", "platform", "editor",
                                 "commands", "exchange", "maps",    "gazetteer"};
    for (const QString& folder : folders) {
        QDirIterator it(QStringLiteral(DOVAZOV_SOURCE_DIR "/") + folder, {"*.cpp", "*.h"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = call.globalMatch(text); match.hasNext();) {
                ids.insert(match.next().captured(1).toInt());
            }
        }
    }
    for (int system = 0; system < 16; ++system) {
        ids.insert(300 + system); // coordinate system names, looked up by index
    }
    EXPECT_TRUE(ids.contains(800)) << "the source scan found nothing";
    for (int id : ids) {
        for (int language : kLanguages) {
            EXPECT_TRUE(StringEntry(id + language).has_value())
                << "id " << id << " in block " << language;
        }
    }
}

} // namespace

namespace {

// A message of the program's own follows the language like the string table's texts.
TEST(StringTable, OwnMessagesInTheCurrentLanguage) {
    const platform::LangueTexts texts{"fr", "en", "de", "it", "nl"};
    const std::pair<int, const char*> cases[] = {{platform::kFrench, "fr"},
                                                 {platform::kEnglish, "en"},
                                                 {platform::kGerman, "de"},
                                                 {platform::kItalian, "it"},
                                                 {platform::kDutch, "nl"}};
    for (const auto& [langue, text] : cases) {
        platform::SetLangue(langue);
        EXPECT_EQ(platform::InLangue(texts), QString::fromLatin1(text)) << langue;
    }
    platform::SetLangue(platform::kEnglish);
}

} // namespace
