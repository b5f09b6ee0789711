#include "editor/DatumChoice.h"

#include "EditorFixture.h"

namespace {

using editor::Control;
using platform::Answer;
using testing_support::AnswerWith;

class DatumChoiceTest : public editor_test::EditorTest {
protected:
    // The first datum of the table at this usage level.
    static QString CodeOfUse(int use) {
        const geodesy::DatumState& datums = geodesy::Datums();
        for (int i = 1; i <= datums.datumCount(); ++i) {
            if (datums.datum(i).Use == use) {
                return QString::fromStdString(datums.datum(i).Code);
            }
        }
        ADD_FAILURE() << "no datum of use " << use;
        return {};
    }
};

TEST_F(DatumChoiceTest, UtmRefusesADatumForDegreesOnly) {
    editor::cmbSystem_Click(state(), 2);
    Type(Control::EditBox0, QStringLiteral("31"));
    Type(Control::EditBox1, QStringLiteral("500000"));
    Type(Control::EditBox2, QStringLiteral("5500000"));
    state().changed = false;
    const QString degreesOnly = CodeOfUse(1);
    host_.chosenCode = degreesOnly;
    prompter_.expect(AnswerWith(Answer::Ok));
    editor_->cmdChangeDatum_Click();
    ASSERT_EQ(prompter_.messages().size(), 1U);
    EXPECT_EQ(prompter_.messages()[0].text,
              degreesOnly + QStringLiteral("\rCe datum n'est pas autorisé pour les coordonnées UTM "
                                           "ou MGRS!"));
    EXPECT_EQ(prompter_.messages()[0].icon, platform::Icon::Critical);
    EXPECT_EQ(prompter_.beeps(), 0);
    EXPECT_EQ(state().lblDatum, QStringLiteral("EUR-M"));
    EXPECT_EQ(geodesy::Datums().InputDatum, Index("EUR-M"));
    EXPECT_FALSE(state().changed);
    EXPECT_TRUE(text(Control::ChampLatitude).isEmpty()); // nothing converted
    EXPECT_EQ(host_.preselected, QStringList{QStringLiteral("EUR-M")});
}

TEST_F(DatumChoiceTest, MgrsAcceptsAUtmDatumAndConvertsWithIt) {
    editor::cmbSystem_Click(state(), 3);
    Type(Control::EditBox0, QStringLiteral("31"));
    Type(Control::EditBox1, QStringLiteral("U"));
    Type(Control::EditBox2, QStringLiteral("ER7167039221"));
    state().changed = false;
    state().ButOkEnabled = false;
    host_.chosenCode = QStringLiteral("NTF  ");
    editor_->cmdChangeDatum_Click();
    EXPECT_EQ(state().lblDatum, QStringLiteral("NTF  "));
    EXPECT_EQ(state().lblDatumToolTip, QStringLiteral("NTF  "));
    EXPECT_EQ(geodesy::Datums().InputDatum, Index("NTF"));
    EXPECT_TRUE(state().ButOkEnabled);
    EXPECT_FALSE(text(Control::ChampLatitude).isEmpty());
}

TEST_F(DatumChoiceTest, DegreesAcceptAnyDatum) {
    editor::cmbSystem_Click(state(), 0);
    host_.chosenCode = CodeOfUse(1);
    editor_->cmdChangeDatum_Click();
    EXPECT_EQ(state().lblDatum, host_.chosenCode);
    EXPECT_EQ(geodesy::Datums().InputDatum, Index(host_.chosenCode.toLatin1().constData()));
}

TEST_F(DatumChoiceTest, ACancelledChooserConvertsOnlyAWaitingEdit) {
    editor::cmbSystem_Click(state(), 0);
    Type(Control::EditBox1, QStringLiteral("50.5"));
    Type(Control::EditBox2, QStringLiteral("4.5"));
    state().changed = false;
    host_.chosenCode.clear();
    editor_->cmdChangeDatum_Click();
    EXPECT_TRUE(text(Control::ChampLatitude).isEmpty());

    state().markChanged();
    editor_->cmdChangeDatum_Click();
    EXPECT_EQ(text(Control::ChampLatitude), QStringLiteral("+50.5"));
    EXPECT_EQ(state().lblDatum, QStringLiteral("EUR-M"));
}

TEST_F(DatumChoiceTest, ACodeThatNamesNoRowLeavesTheDatum) {
    editor::cmbSystem_Click(state(), 0);
    host_.chosenCode = QStringLiteral("NTF"); // not the table's five characters
    editor_->cmdChangeDatum_Click();
    EXPECT_EQ(state().lblDatum, QStringLiteral("EUR-M"));
    EXPECT_FALSE(state().changed);
}

} // namespace
