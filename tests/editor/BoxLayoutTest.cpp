#include "editor/BoxLayout.h"

#include "EditorFixture.h"
#include "editor/DatumChoice.h"

#include <array>
#include <optional>

namespace {

using editor::Control;

// One box as a system lays it out: shown with its caption, maximum length, left and width, or
// hidden (what a hidden box keeps is checked elsewhere).
struct Box {
    bool shown = false;
    const char* caption = "";
    int maxLength = 0;
    int left = 0;
    int width = 0;
};
constexpr Box kHidden{};

struct Layout {
    int mode;
    const char* code;
    const char* frameCaption;
    std::array<Box, 3> boxes;
    const char* datum; // as the datum label shows it
    bool datumButton;
    const char* checkCaption;
};

// Each system as the editor's tables give it, in French.
const std::array<Layout, 16> kLayouts{{
    {0,
     "deg",
     "Degrés décimaux Greenwhich",
     {kHidden, Box{true, "+52.98555", 9, 120, 1700}, Box{true, "-003.56963", 10, 1880, 1700}},
     "EUR-M",
     true,
     ""},
    {1,
     "dms",
     "Degrés-minutes-secondes Greenwhich",
     {kHidden, Box{true, "+52.57198 pour 52°57'19.8''", 9, 120, 1700},
      Box{true, "-003.3410 pour -3°34'10''", 10, 1880, 1700}},
     "EUR-M",
     true,
     ""},
    {2,
     "utm",
     "UTM numérique en mètres",
     {Box{true, "Fuseau (31)", 2, 120, 540}, Box{true, "Easting (616000)", 6, 720, 1500},
      Box{true, "Northing (5564000)", 7, 2280, 1500}},
     "EUR-M",
     true,
     ""},
    {3,
     "mgr",
     "UTM alphanumérique (MGRS)",
     {Box{true, "Fuseau (31)", 2, 120, 540}, Box{true, "Zone (U)", 1, 720, 540},
      Box{true, "Lettre+Easting+Northing (FR1664)", 12, 1320, 2000}},
     "EUR-M",
     true,
     ""},
    {4,
     "grp",
     "Grades Paris (centésimaux)",
     {kHidden, Box{true, "+48.9552", 9, 120, 1700}, Box{true, "+003.5423", 10, 1880, 1700}},
     "NTF",
     true,
     "Grades Paris (centésimaux)"},
    {5,
     "bng",
     "British National grid",
     {kHidden, Box{true, "SM", 2, 120, 540}, Box{true, "2354", 10, 720, 1700}},
     "OGB-M",
     false,
     "British National Grid"},
    {6,
     "itm",
     "Irish TM Grid",
     {kHidden, Box{true, "IL", 2, 120, 540}, Box{true, "2354", 10, 720, 1700}},
     "IRL",
     false,
     "Irish TM Grid"},
    {7,
     "lmb",
     "Lambert belge 1972 en mètres",
     {kHidden, Box{true, "112568", 6, 120, 1700}, Box{true, "128963", 6, 1880, 1700}},
     "BEL72",
     false,
     "Lambert belge 72 (X Y en mètres)"},
    {8,
     "ifb",
     "IFBL",
     {kHidden, kHidden, Box{true, "G3 or G336 or G33643", 6, 120, 1700}},
     "BEL72",
     false,
     "Lambert belge 72 (X Y en mètres)"},
    {9,
     "lf1",
     "Lambert France I",
     {kHidden, Box{true, "x (mètres)", 7, 120, 1700}, Box{true, "y (mètres)", 7, 1880, 1700}},
     "NTF",
     false,
     "Lambert France I"},
    {10,
     "lf2",
     "Lambert France II",
     {kHidden, Box{true, "x (mètres)", 7, 120, 1700}, Box{true, "y (mètres)", 7, 1880, 1700}},
     "NTF",
     false,
     "Lambert France II"},
    {11,
     "lf3",
     "Lambert France III",
     {kHidden, Box{true, "x (mètres)", 7, 120, 1700}, Box{true, "y (mètres)", 7, 1880, 1700}},
     "NTF",
     false,
     "Lambert France III"},
    {12,
     "lf4",
     "Lambert France IV",
     {kHidden, Box{true, "x (mètres)", 7, 120, 1700}, Box{true, "y (mètres)", 7, 1880, 1700}},
     "NTF",
     false,
     "Lambert France IV"},
    {13,
     "lfe",
     "Lambert France II étendu",
     {kHidden, Box{true, "x (mètres)", 7, 120, 1700}, Box{true, "y (mètres)", 7, 1880, 1700}},
     "NTF",
     false,
     "Lambert France II étendu"},
    {14,
     "nma",
     "Lambert Nord Maroc",
     {kHidden, Box{true, "x (mètres)", 7, 120, 1700}, Box{true, "y (mètres)", 7, 1880, 1700}},
     "MER",
     false,
     "Lambert Nord Maroc"},
    {15,
     "sma",
     "Lambert Sud Maroc",
     {kHidden, Box{true, "x (mètres)", 7, 120, 1700}, Box{true, "y (mètres)", 7, 1880, 1700}},
     "MER",
     false,
     "Lambert Sud Maroc"},
}};

class BoxLayoutTest : public editor_test::EditorTest {};

TEST_F(BoxLayoutTest, EachOfTheSixteenSystems) {
    for (const Layout& expected : kLayouts) {
        SCOPED_TRACE(expected.code);
        // Lay out from a frame that another system filled, as a choice in the list does.
        platform::Settings().InputMode = 2;
        editor::AdapteInputbox(state());
        platform::Settings().InputMode = static_cast<std::int16_t>(expected.mode);
        editor::AdapteInputbox(state());

        EXPECT_EQ(state().SystemCode, expected.code);
        EXPECT_EQ(state().cmbSystem, expected.mode);
        EXPECT_EQ(state().FrameInputCaption, QString::fromUtf8(expected.frameCaption));
        EXPECT_EQ(state().LabelLibre, QString::fromUtf8(expected.checkCaption));
        // Default datums are the table's five-character codes, fixed ones as written.
        const QString datum = QString::fromUtf8(expected.datum);
        EXPECT_EQ(state().lblDatum, expected.datumButton && expected.mode < 4
                                        ? datum.leftJustified(5, QLatin1Char(' '))
                                        : datum);
        EXPECT_EQ(geodesy::Datums().InputDatum, geodesy::DatumIndex(expected.datum));
        EXPECT_NE(geodesy::Datums().InputDatum, 0);
        EXPECT_EQ(state().cmdChangeDatumEnabled, expected.datumButton);
        for (std::size_t i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            const Box& box = expected.boxes[i];
            EXPECT_EQ(state().EditBox[i].visible, box.shown);
            EXPECT_EQ(state().LblEditBox[i].visible, box.shown);
            EXPECT_TRUE(text(editor::EditBoxControl(static_cast<int>(i))).isEmpty());
            // Each label stands over its box, hidden ones included.
            EXPECT_EQ(state().LblEditBox[i].left, state().EditBox[i].left);
            EXPECT_EQ(state().LblEditBox[i].width, state().EditBox[i].width);
            if (box.shown) {
                EXPECT_EQ(state().LblEditBox[i].caption, QString::fromUtf8(box.caption));
                EXPECT_EQ(state().EditBox[i].maxLength, box.maxLength);
                EXPECT_EQ(state().EditBox[i].left, box.left);
                EXPECT_EQ(state().EditBox[i].width, box.width);
            }
        }
    }
}

TEST_F(BoxLayoutTest, TheLongestOriginalTheBoxesAllowFitsTheField) {
    for (const Layout& layout : kLayouts) {
        SCOPED_TRACE(layout.code);
        int length = 3;
        for (const Box& box : layout.boxes) {
            if (box.shown) {
                length += 1 + box.maxLength;
            }
        }
        EXPECT_LE(length, 24);
    }
}

TEST_F(BoxLayoutTest, ChoosingAnotherSystemEmptiesTheBoxesAndMarksTheRowOnlyWhenOneHeldText) {
    platform::Settings().InputMode = 2;
    editor::AdapteInputbox(state());
    Type(Control::EditBox0, QStringLiteral("31"));
    Type(Control::EditBox1, QStringLiteral("500000"));
    Type(Control::EditBox2, QStringLiteral("5500000"));
    state().changed = false;
    state().ButOkEnabled = false;

    editor::cmbSystem_Click(state(), 0);
    EXPECT_TRUE(text(Control::EditBox0).isEmpty());
    EXPECT_TRUE(text(Control::EditBox1).isEmpty());
    EXPECT_TRUE(text(Control::EditBox2).isEmpty());
    EXPECT_FALSE(state().EditBox[0].visible);
    EXPECT_EQ(state().lblDatum, QStringLiteral("EUR-M"));
    EXPECT_TRUE(state().changed);
    EXPECT_TRUE(state().ButOkEnabled);
    EXPECT_EQ(platform::Settings().InputMode, 0);

    // With every box empty the choice changes the datum only.
    state().changed = false;
    state().ButOkEnabled = false;
    editor::cmbSystem_Click(state(), 5);
    EXPECT_EQ(state().lblDatum, QStringLiteral("OGB-M"));
    EXPECT_FALSE(state().changed);
    EXPECT_FALSE(state().ButOkEnabled);
}

TEST_F(BoxLayoutTest, AHiddenBoxKeepsItsPlaceAndLengthAndIfblHidesTheFirstBoxUntilAnotherSystem) {
    platform::Settings().InputMode = 2;
    editor::AdapteInputbox(state());
    editor::cmbSystem_Click(state(), 5);
    EXPECT_EQ(state().EditBox[0].left, 120);
    EXPECT_EQ(state().EditBox[0].width, 540);
    EXPECT_EQ(state().EditBox[0].maxLength, 2);
    EXPECT_EQ(state().LblEditBox[0].left, 120);

    editor::cmbSystem_Click(state(), 8);
    EXPECT_FALSE(state().EditBox[1].visible);
    EXPECT_EQ(state().EditBox[1].left, 120); // as bng left it
    editor::cmbSystem_Click(state(), 9);
    EXPECT_TRUE(state().EditBox[1].visible);
    EXPECT_FALSE(state().EditBox[0].visible);
}

TEST_F(BoxLayoutTest, TheSameSystemAgainStillEmptiesTheBoxesAndResetsTheDatum) {
    platform::Settings().InputMode = 0;
    editor::AdapteInputbox(state());
    Type(Control::EditBox1, QStringLiteral("50"));
    state().lblDatum = QStringLiteral("WGS84");
    editor::cmbSystem_Click(state(), 0);
    EXPECT_TRUE(text(Control::EditBox1).isEmpty());
    EXPECT_EQ(state().lblDatum, QStringLiteral("EUR-M"));
    EXPECT_EQ(geodesy::Datums().InputDatum, Index("EUR-M"));
}

TEST_F(BoxLayoutTest, AChoiceInTheListWhileTheWindowLoadsIsIgnored) {
    platform::Settings().InputMode = 0;
    editor::AdapteInputbox(state());
    state().OnLoad = true;
    editor::cmbSystem_Click(state(), 5);
    EXPECT_EQ(platform::Settings().InputMode, 0);
    EXPECT_EQ(state().SystemCode, QStringLiteral("deg"));
}

} // namespace
