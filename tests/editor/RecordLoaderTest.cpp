#include "editor/RecordLoader.h"

#include "EditorFixture.h"

namespace {

using editor::Control;
using platform::Answer;
using testing_support::AnswerWith;

class RecordLoaderTest : public editor_test::EditorTest {
protected:
    // Shows a new row holding these fields, as stepping to it does.
    void Load(const editor_test::Row& row) {
        const std::int64_t counter = Add(row);
        document::Data1().refresh();
        Records().setBookmark(counter);
        editor::CfgFreeFields(state());
        editor::RempliDessus(state(), host_);
    }
    QString Box(int i) { return text(editor::EditBoxControl(i)); }
};

// What loading a coordinate text and a datum shows in the input frame.
struct OriginalCase {
    const char* original;
    const char* datum;
    int mode;
    const char* boxes[3];
    const char* datumLabel;
    bool datumButton;
};

TEST_F(RecordLoaderTest, TheCoordinateTextChoosesTheSystemAndFillsItsBoxes) {
    const OriginalCase cases[] = {
        {"deg +50.12345 +004.56789", "eur-m", 0, {"", "+50.12345", "+004.56789"}, "EUR-M", true},
        {"utm 31U 500000 5500000", "EUR-M", 2, {"31U", "500000", "5500000"}, "EUR-M", true},
        {"ifb  G33643", "BEL72", 8, {"", "", "G33643"}, "BEL72", false},
        {"ifb G33643", "BEL72", 8, {"", "", "G33643"}, "BEL72", false},
        {"deg 50.1", "EUR-M", 0, {"", "", ""}, "EUR-M", true},
        {"sma 123456 654321", "WGS84", 15, {"", "123456", "654321"}, "MER", false},
        {"mgr 31 u fr1664", "", 3, {"31", "U", "FR1664"}, "EUR-M", true},
        {"bng tq 3080", "OGB-M", 5, {"", "TQ", "3080"}, "OGB-M", false},
        {"grp 54.5  2.1", "NTF", 4, {"", "54.5", "2.1"}, "NTF", true},
        {"bng TQ 3080", "EUR-M", 5, {"", "TQ", "3080"}, "EUR-M", false}, // the row's datum
    };
    for (const OriginalCase& c : cases) {
        SCOPED_TRACE(c.original);
        Load({QString::fromLatin1(c.original),
              *c.datum != '\0' ? std::optional(QString::fromLatin1(c.datum)) : std::nullopt});
        EXPECT_EQ(platform::Settings().InputMode, c.mode);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(Box(i), QString::fromLatin1(c.boxes[i])) << "box " << i;
        }
        EXPECT_EQ(state().lblDatum.trimmed(), QString::fromLatin1(c.datumLabel));
        EXPECT_EQ(geodesy::Datums().InputDatum, Index(c.datumLabel));
        EXPECT_EQ(state().cmdChangeDatumEnabled, c.datumButton);
        EXPECT_FALSE(state().changed);
    }
}

TEST_F(RecordLoaderTest, ADatumOutsideTheTableIsReportedAndReplacedByWgs84) {
    prompter_.expect(AnswerWith(Answer::Ok));
    Load({QStringLiteral("deg 50 4"), QStringLiteral("XYZ")});
    ASSERT_EQ(prompter_.messages().size(), 1U);
    EXPECT_EQ(prompter_.messages()[0].text,
              QStringLiteral("XYZ\rCe datum n'est pas présent dans la liste des datums "
                             "disponibles!"));
    EXPECT_EQ(prompter_.messages()[0].icon, platform::Icon::None);
    EXPECT_EQ(prompter_.beeps(), 0);
    EXPECT_EQ(state().lblDatum, QStringLiteral("WGS84"));
    EXPECT_EQ(geodesy::Datums().InputDatum, Index("WGS84"));
}

TEST_F(RecordLoaderTest, AnEmptyOriginalShowsTheCurrentSystemWithItsDefaultDatum) {
    platform::Settings().InputMode = 5;
    Load({std::nullopt, QStringLiteral("EUR-M")});
    EXPECT_EQ(state().SystemCode, QStringLiteral("bng"));
    EXPECT_EQ(state().lblDatum, QStringLiteral("OGB-M"));
}

TEST_F(RecordLoaderTest, BoxesOfThePreviousRowNeverStayWhenTheNextRowGivesNone) {
    // An empty ORIGINAL, and one whose code is none of the sixteen systems.
    for (const std::optional<QString>& original :
         {std::optional<QString>(), std::optional<QString>(QStringLiteral("xyz 50 4"))}) {
        Load({QStringLiteral("utm 31 500000 5500000"), QStringLiteral("EUR-M")});
        ASSERT_EQ(Box(1), QStringLiteral("500000"));
        Load({original, QStringLiteral("EUR-M")});
        EXPECT_TRUE(Box(0).isEmpty());
        EXPECT_TRUE(Box(1).isEmpty());
        EXPECT_TRUE(Box(2).isEmpty());
        EXPECT_EQ(state().SystemCode, QStringLiteral("utm"));
    }
}

TEST_F(RecordLoaderTest, TheFieldsTheDateAndTheRowNumber) {
    Add({QStringLiteral("deg 1 1")});
    editor_test::Row row{QStringLiteral("deg 50.5 4.25"), QStringLiteral("EUR-M")};
    row.period = 2;
    row.latitude = 50.1234567F;
    row.longitude = -4.25F;
    row.n1 = 12;
    row.n2 = 0;
    row.sex = QStringLiteral("F");
    row.date = QStringLiteral("1998/05/  ");
    Load(row);
    EXPECT_EQ(text(Control::ChampPeriode), QStringLiteral("2"));
    // The positions as the main grid shows them.
    EXPECT_EQ(text(Control::ChampLatitude), app::CellText(QVariant(50.1234567F)));
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("50.12346"));
    EXPECT_EQ(text(Control::ChampLongitude), QStringLiteral("-4.25"));
    EXPECT_EQ(text(Control::ChampCh1), QStringLiteral("12"));
    EXPECT_EQ(text(Control::ChampCh2), QStringLiteral("0"));
    EXPECT_EQ(text(Control::ChampSex), QStringLiteral("F"));
    EXPECT_EQ(text(Control::ChampAnnee), QStringLiteral("1998/05/__"));
    EXPECT_EQ(state().lblCpt, QStringLiteral("2"));
    EXPECT_EQ(state().Label4, QStringLiteral("Number 1:"));
}

TEST_F(RecordLoaderTest, DatesTheMaskAcceptsFillItAndOthersLeaveItEmpty) {
    const std::pair<const char*, const char*> cases[] = {
        {"2001/06/15", "2001/06/15"}, {"2001", "2001/__/__"}, {"19", "19__/__/__"},
        {"2001-06-15", "____/__/__"}, {"  ", "____/__/__"},   {"abc", "____/__/__"},
    };
    for (const auto& [stored, shown] : cases) {
        SCOPED_TRACE(stored);
        editor_test::Row row{QStringLiteral("deg 1 1")};
        row.date = QString::fromLatin1(stored);
        Load(row);
        EXPECT_EQ(text(Control::ChampAnnee), QString::fromLatin1(shown));
    }
}

TEST_F(RecordLoaderTest, NullFieldsLeaveTheirBoxesEmpty) {
    editor_test::Row row;
    row.period = std::nullopt;
    Load(row);
    for (const Control c : {Control::ChampPeriode, Control::ChampLatitude, Control::ChampCh1,
                            Control::ChampSex, Control::ChampLibre}) {
        EXPECT_TRUE(text(c).isEmpty());
    }
    EXPECT_EQ(text(Control::ChampAnnee), editor::EmptyDate());
}

TEST_F(RecordLoaderTest, NoCurrentRowShowsEmptyFieldsAndRowZero) {
    editor::RempliDessus(state(), host_);
    EXPECT_EQ(state().lblCpt, QStringLiteral("0"));
    EXPECT_TRUE(text(Control::ChampLatitude).isEmpty());
}

TEST_F(RecordLoaderTest, TheCommentSplitsIntoFreeFieldsAndFreeText) {
    SetFreeFields(
        {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")},
        {QStringLiteral("Habitat  "), QStringLiteral("Altitude"), QStringLiteral("Site")});
    struct Case {
        const char* comment;
        QStringList values;
        const char* freeText;
    };
    const Case cases[] = {
        {"a/b/c/free text", {"a", "b", "c"}, "free text"},
        {"a/b/c/1/2 ind.", {"a", "b", "c"}, "1/2 ind."},
        {"a/b", {"a", "b", ""}, ""},
        {"just text", {"", "", ""}, "just text"},
        {"a/b/c/line 1\r\nline 2", {"a", "b", "c"}, "line 1\nline 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comment);
        Load({QStringLiteral("deg 1 1"), std::nullopt, QString::fromLatin1(c.comment)});
        EXPECT_EQ(state().freeFieldValues, c.values);
        EXPECT_EQ(text(Control::ChampLibre), QString::fromLatin1(c.freeText));
    }
    // The labels lose their trailing blanks.
    EXPECT_EQ(state().freeFieldLabels,
              QStringList(
                  {QStringLiteral("Habitat"), QStringLiteral("Altitude"), QStringLiteral("Site")}));
}

TEST_F(RecordLoaderTest, WhileTheWindowLoadsNothingCountsAsAChange) {
    OpenOn(Add({QStringLiteral("deg 50 4"), QStringLiteral("EUR-M"), QStringLiteral("text")}));
    EXPECT_EQ(text(Control::ChampLibre), QStringLiteral("text"));
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+0")); // the check panel's form
    EXPECT_FALSE(state().changed);
    EXPECT_FALSE(state().ButOkEnabled);
}

TEST_F(RecordLoaderTest, ALaterLoadEnablesSaveOnlyWhenAFieldShowsAnotherText) {
    const std::int64_t first = Add({QStringLiteral("deg 50 4"), QStringLiteral("EUR-M")});
    const std::int64_t same = Add({QStringLiteral("deg 50 4"), QStringLiteral("EUR-M")});
    const std::int64_t other = Add({QStringLiteral("deg 51 4"), QStringLiteral("EUR-M")});
    Load({QStringLiteral("deg 50 4"), QStringLiteral("EUR-M")});
    Records().setBookmark(first);
    editor::RempliDessus(state(), host_);
    state().ButOkEnabled = false;
    Records().setBookmark(same);
    editor::RempliDessus(state(), host_);
    EXPECT_FALSE(state().ButOkEnabled);
    Records().setBookmark(other);
    editor::RempliDessus(state(), host_);
    EXPECT_TRUE(state().ButOkEnabled);
    EXPECT_FALSE(state().changed);
}

} // namespace
