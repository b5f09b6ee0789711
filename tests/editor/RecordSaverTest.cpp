#include "editor/RecordSaver.h"

#include "EditorFixture.h"
#include "common/AppError.h"
#include "editor/DatumChoice.h"

namespace {

using editor::Control;
using platform::Answer;
using platform::Icon;
using testing_support::AnswerWith;

class RecordSaverTest : public editor_test::EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        document::Document().PeriodOption = 2; // three periods
        document::Document().PivotYear1 = 1980;
        document::Document().PivotYear2 = 2000;
        editor_test::Row row{QStringLiteral("deg 50.5 4.5"), QStringLiteral("EUR-M"),
                             QStringLiteral("old")};
        row.latitude = 50.5F;
        row.longitude = 4.5F;
        row.n1 = 5;
        counter_ = Add(row);
        OpenOn(counter_);
    }
    int Save() { return editor::SauveEcran(state(), host_); }

    std::int64_t counter_ = 0;
};

// A field typed and the save that refuses it.
struct Refusal {
    Control field;
    const char* typed;
    const char* message;
    Icon icon;
};

TEST_F(RecordSaverTest, EachRefusalSaysWhyKeepsTheEditsAndWritesNothing) {
    const Refusal refusals[] = {
        {Control::ChampAnnee, "1998/13/01", "Date invalide", Icon::Exclamation},
        {Control::ChampAnnee, "1998/01/32", "Date invalide", Icon::Exclamation},
        {Control::ChampPeriode, "4", "La période doit être comprise entre 1 et 3",
         Icon::Exclamation},
        {Control::ChampPeriode, "", "La période doit être comprise entre 1 et 3",
         Icon::Exclamation},
        {Control::ChampLatitude, "90.6", "La latitude doit être comprise entre -90° et +90°",
         Icon::Exclamation},
        {Control::ChampLatitude, "91.5", "La latitude doit être comprise entre -90° et +90°",
         Icon::Exclamation},
        // Beyond a 16-bit integer: the range message too, not the error box.
        {Control::ChampLatitude, "40000", "La latitude doit être comprise entre -90° et +90°",
         Icon::Exclamation},
        {Control::ChampLatitude, "1e999", "La latitude doit être comprise entre -90° et +90°",
         Icon::Exclamation},
        {Control::ChampLongitude, "-180.6", "La longitude doit être comprise entre -180° et +180°",
         Icon::None},
        {Control::ChampLongitude, "99999", "La longitude doit être comprise entre -180° et +180°",
         Icon::None},
        {Control::ChampPeriode, "99999", "La période doit être comprise entre 1 et 3",
         Icon::Exclamation},
        // Counts beyond their 32-bit field.
        {Control::ChampCh1, "9e99", "Number 1: -2147483648 ... 2147483647", Icon::Exclamation},
        {Control::ChampCh2, "3e9", "Number 2: -2147483648 ... 2147483647", Icon::Exclamation},
    };
    const document::Record stored = Stored(counter_);
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.typed);
        OpenOn(counter_);
        Type(r.field, QString::fromUtf8(r.typed));
        const int beeps = prompter_.beeps();
        prompter_.expect(AnswerWith(Answer::Ok));
        EXPECT_EQ(Save(), editor::kSaveRefused);
        ASSERT_FALSE(prompter_.messages().empty());
        EXPECT_EQ(prompter_.messages().back().text, QString::fromUtf8(r.message));
        EXPECT_EQ(prompter_.messages().back().icon, r.icon);
        EXPECT_EQ(prompter_.beeps(), beeps + 1);
        EXPECT_EQ(state().focusRequest, r.field);
        EXPECT_EQ(Stored(counter_), stored);
        // The edit stays, and stays to be saved: a second save refuses it again.
        EXPECT_EQ(text(r.field), QString::fromUtf8(r.typed));
        EXPECT_TRUE(state().changed);
        prompter_.expect(AnswerWith(Answer::Ok));
        EXPECT_EQ(Save(), editor::kSaveRefused);
    }
}

TEST_F(RecordSaverTest, RefusalsBeepOnlyWithoutSilence) {
    platform::Settings().Silence = 1;
    Type(Control::ChampLatitude, QStringLiteral("95"));
    prompter_.expect(AnswerWith(Answer::Ok));
    EXPECT_EQ(Save(), editor::kSaveRefused);
    EXPECT_EQ(prompter_.beeps(), 0);
}

TEST_F(RecordSaverTest, OnlyTheFirstFailingCheckIsReported) {
    Type(Control::ChampAnnee, QStringLiteral("1998/13/01"));
    Type(Control::ChampLatitude, QStringLiteral("95"));
    prompter_.expect(AnswerWith(Answer::Ok));
    EXPECT_EQ(Save(), editor::kSaveRefused);
    EXPECT_EQ(prompter_.messages().size(), 1U);
    EXPECT_EQ(state().focusRequest, Control::ChampAnnee);
}

TEST_F(RecordSaverTest, ARefusedRowIsWrittenOnceTheFieldIsRight) {
    Type(Control::ChampLatitude, QStringLiteral("95"));
    Type(Control::ChampCh1, QStringLiteral("7"));
    prompter_.expect(AnswerWith(Answer::Ok));
    ASSERT_EQ(Save(), editor::kSaveRefused);
    Type(Control::ChampLatitude, QStringLiteral("45"));
    EXPECT_EQ(Save(), 0);
    EXPECT_EQ(Stored(counter_).LATITUDE, 45.0F);
    EXPECT_EQ(Stored(counter_).N1, 7);
    EXPECT_FALSE(state().changed);
    EXPECT_EQ(host_.rowsWritten, 1);
}

TEST_F(RecordSaverTest, NothingChangedWritesNothing) {
    SQLite::Statement spoil(document::WorkDb(), "UPDATE DOVAZOV SET N1 = 99");
    spoil.exec();
    EXPECT_EQ(Save(), 0);
    EXPECT_EQ(Stored(counter_).N1, 99);
    EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(RecordSaverTest, DatesThatPassAndWhatIsStored) {
    const std::pair<const char*, const char*> cases[] = {
        {"1998/00/00", "1998/00/00"}, {"1998/02/31", "1998/02/31"}, {"____/__/__", ""},
        {"1998/05/__", "1998/05/__"}, {"1998/__/__", "1998/__/__"},
    };
    for (const auto& [typed, stored] : cases) {
        SCOPED_TRACE(typed);
        Type(Control::ChampAnnee, QString::fromLatin1(typed));
        EXPECT_EQ(Save(), 0);
        EXPECT_EQ(Stored(counter_).DATE, QString::fromLatin1(stored));
    }
}

TEST_F(RecordSaverTest, ADateGivesThePeriodBeforeThePeriodIsChecked) {
    Type(Control::ChampPeriode, QStringLiteral("9"));
    Type(Control::ChampAnnee, QStringLiteral("1999/05/01"));
    EXPECT_EQ(Save(), 0);
    EXPECT_EQ(Stored(counter_).PERIOD, 2);
    EXPECT_EQ(text(Control::ChampPeriode), QStringLiteral("2"));
}

TEST_F(RecordSaverTest, TheFieldsAsTheyAreWritten) {
    SetFreeFields({QStringLiteral("A"), QStringLiteral("B")},
                  {QStringLiteral("First"), QStringLiteral("Second")});
    OpenOn(counter_);
    Type(Control::ChampLatitude, QStringLiteral("90,5"));
    Type(Control::ChampLongitude, QStringLiteral("-4,25"));
    Type(Control::ChampCh1, QStringLiteral("12,5"));
    Type(Control::ChampCh2, QStringLiteral("abc"));
    Type(Control::ChampSex, QStringLiteral("M"));
    Type(Control::ChampPeriode, QStringLiteral("2.5")); // the nearest whole number, halves even
    Type(Control::ChampLibre, QStringLiteral("a\r\nb"));
    state().freeFieldValues = {QStringLiteral("x"), QString()};
    ASSERT_EQ(Save(), 0);
    const document::Record row = Stored(counter_);
    EXPECT_EQ(row.LATITUDE, 90.5F);
    EXPECT_EQ(row.LONGITUDE, -4.25F);
    EXPECT_EQ(row.N1, 12);
    EXPECT_EQ(row.N2, 0);
    EXPECT_EQ(row.SEX, QStringLiteral("M"));
    EXPECT_EQ(row.PERIOD, 2);
    EXPECT_EQ(row.COMMENT, QStringLiteral("x//a\nb"));
}

TEST_F(RecordSaverTest, WithoutFreeFieldsTheCommentIsTheFreeText) {
    Type(Control::ChampLibre, QStringLiteral("seen twice"));
    ASSERT_EQ(Save(), 0);
    EXPECT_EQ(Stored(counter_).COMMENT, QStringLiteral("seen twice"));
}

TEST_F(RecordSaverTest, AFreeFieldValueHoldingTheSeparatorIsRefusedByName) {
    SetFreeFields({QStringLiteral("A"), QStringLiteral("B")},
                  {QStringLiteral("Habitat"), QStringLiteral("Altitude")});
    OpenOn(counter_);
    state().freeFieldValues = {QStringLiteral("pond"), QStringLiteral("100/200")};
    state().markChanged();
    prompter_.expect(AnswerWith(Answer::Ok));
    EXPECT_EQ(Save(), editor::kSaveRefused);
    EXPECT_TRUE(prompter_.messages().back().text.startsWith(QStringLiteral("Altitude: \"/\"")));
    EXPECT_EQ(Stored(counter_).COMMENT, QStringLiteral("old"));
    EXPECT_TRUE(state().changed);
}

TEST_F(RecordSaverTest, DatumAndOriginalAreRebuiltOnlyWhenTheLastBoxHoldsAValue) {
    struct Case {
        int mode;
        const char* boxes[3];
        const char* original;
    };
    const Case cases[] = {
        {8, {"", "", "G33643"}, "ifb G33643"},
        {2, {"31U", "500000", "5500000"}, "utm 31U 500000 5500000"},
        {0, {"", "+50.12345", "+004.56789"}, "deg +50.12345 +004.56789"},
        {5, {"", "TQ", "3080"}, "bng TQ 3080"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.original);
        editor::cmbSystem_Click(state(), c.mode);
        for (int i = 0; i < 3; ++i) {
            state().setText(editor::EditBoxControl(i), QString::fromLatin1(c.boxes[i]));
        }
        ASSERT_EQ(Save(), 0);
        EXPECT_EQ(Stored(counter_).ORIGINAL, QString::fromLatin1(c.original));
        EXPECT_EQ(Stored(counter_).DATUM, state().lblDatum);
    }
    // Box 2 empty: the stored coordinate text stays, whatever the other boxes hold.
    editor::cmbSystem_Click(state(), 2);
    Type(Control::EditBox0, QStringLiteral("32"));
    Type(Control::EditBox1, QStringLiteral("400000"));
    ASSERT_EQ(Save(), 0);
    EXPECT_EQ(Stored(counter_).ORIGINAL, QStringLiteral("bng TQ 3080"));
    EXPECT_EQ(Stored(counter_).DATUM, QStringLiteral("OGB-M"));
}

TEST_F(RecordSaverTest, AFailedWriteShowsTheErrorBoxAndKeepsTheEdits) {
    Type(Control::ChampCh1, QStringLiteral("7"));
    SQLite::Statement gone(document::WorkDb(), "DELETE FROM DOVAZOV");
    gone.exec();
    prompter_.expect(AnswerWith(Answer::Ok));
    const int result = Save();
    EXPECT_NE(result, 0);
    EXPECT_NE(result, editor::kSaveRefused);
    ASSERT_EQ(prompter_.messages().size(), 1U);
    EXPECT_TRUE(
        prompter_.messages()[0].text.contains(QStringLiteral("Erreur pendant la sauvegarde.")))
        << prompter_.messages()[0].text.toStdString();
    EXPECT_TRUE(state().changed);
}

TEST_F(RecordSaverTest, WithoutACurrentRowTheSaveSaysSoAndFails) {
    Type(Control::ChampCh1, QStringLiteral("7"));
    Records().moveLast();
    Records().moveNext(); // past the end
    prompter_.expect(AnswerWith(Answer::Ok));
    prompter_.expect(AnswerWith(Answer::Ok));
    EXPECT_EQ(Save(), common::kNoCurrentRecord);
    EXPECT_EQ(prompter_.messages()[0].text, QStringLiteral("Erreur! [recordset BOF or EOF]"));
    EXPECT_TRUE(prompter_.messages()[1].text.startsWith(QStringLiteral("Error 3021")));
}

} // namespace
