// The EPS map file: the prologue with its comment lines filled in, the page geometry, the base map,
// the symbols and the graticule in their places, the closing lines, the failures, and Ghostscript
// rendering every file written.

#include "cartography/EpsFile.h"

#include "../geodesy/ProjReference.h"
#include "EpsFixture.h"
#include "cartography/core/MapDescription.h"
#include "cartography/core/Projection.h"
#include "platform/DialogFolders.h"
#include "platform/Settings.h"
#include "platform/TextFile.h"

#include <QDate>
#include <QFileInfo>
#include <functional>
#include <vector>

namespace {

using eps_test::EpsLines;
using eps_test::EpsTest;
using eps_test::ExpectGhostscriptAccepts;
using eps_test::ReadAll;
using eps_test::SourcePath;
using eps_test::WriteAll;
using testing_support::AnswerWith;
using testing_support::SaveAs;

const QStringList kClosingLines = {
    QStringLiteral(
        "/Courier /Courier scandvec ReEncodeSmall /Courier findfont 6 scalefont setfont"),
    QStringLiteral("0 setgray .1 setlinewidth"),
    QStringLiteral("Lx 4 add Ly 6 add m"),
    QStringLiteral(R"((\251 ZEB - DOVAZOV) /cpr exch def)"),
    QStringLiteral("gsave cpr false charpath pathbbox Box grestore cpr show"),
    QStringLiteral("PresLeg {PutLeg} { } ifelse"),
    QStringLiteral("0 sg Lx Ly m Lx Uy l Ux Uy l Ux Ly l c s"),
    QStringLiteral("grestore showpage"),
    QStringLiteral("clear"),
    QStringLiteral("%%Trailer"),
};

QStringList FileLines(const QString& path) {
    platform::TextFileReader reader(path);
    QStringList lines;
    while (!reader.atEnd()) {
        lines << reader.readLine();
    }
    return lines;
}

// The lines EcritPrologue writes for a prologue and a date.
QStringList PrologueOutput(const cartography::CartoSession& session, const QString& path,
                           const QDate& date) {
    {
        platform::TextFileWriter writer(path);
        cartography::EcritPrologue(writer, session, path, date);
        writer.commit();
    }
    return EpsLines(path);
}

TEST_F(EpsTest, PrologueAndPageLinesOfBothPageShapes) {
    struct Case {
        float width, height;
        const char* box;
        const char* ux;
        const char* ly;
        const char* shift;
    };
    const Case cases[] = {
        {2000, 1000, "%%BoundingBox:  42   530   552   800 ", "/Ux { 500  50 add} bind def",
         "/Ly {800 250 sub} bind def", "-3 0  translate"},
        {1000, 2000, "%%BoundingBox:  167   280   427   800 ", "/Ux { 250  50 add} bind def",
         "/Ly {800 500 sub} bind def", " 122 0  translate"},
        {666, 1000, "%%BoundingBox:  125.5   280   468.5   800 ", "/Ux { 333  50 add} bind def",
         "/Ly {800 500 sub} bind def", " 80 0  translate"},
    };
    const QStringList prologue = FileLines(SourcePath("resources/carto/prolzeb.ps"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        SetExtent(-100, 200, c.width, c.height);
        const QString out = path(QStringLiteral("page.eps"));
        const QStringList lines = PrologueOutput(session, out, QDate(2026, 3, 7));
        ASSERT_EQ(lines.size(), prologue.size() + 9);
        for (int i = 0; i < prologue.size(); ++i) {
            const QString key = prologue[i].toUpper();
            if (key.contains(QStringLiteral("%%BOUNDINGBOX"))) {
                EXPECT_EQ(lines[i], QLatin1String(c.box));
            } else if (key.contains(QStringLiteral("%%TITLE"))) {
                EXPECT_EQ(lines[i], QStringLiteral("%%Title: ZEB - ") + out);
            } else if (key.contains(QStringLiteral("%%CREATIONDATE"))) {
                EXPECT_EQ(lines[i], QStringLiteral("%%CreationDate: 03-07-2026"));
            } else {
                EXPECT_EQ(lines[i], prologue[i]);
            }
        }
        const QStringList page = lines.mid(prologue.size());
        EXPECT_EQ(page,
                  (QStringList{
                      QStringLiteral("/Lx {50} bind def"),
                      QStringLiteral("/Uy {800} bind def"),
                      QLatin1String(c.ux),
                      QLatin1String(c.ly),
                      QLatin1String(c.shift),
                      QStringLiteral("/Cadre {Lx Ly m Lx Uy l Ux Uy l Ux Ly l c clip clippath "
                                     "0 setgray ec sl s} bind def"),
                      QStringLiteral("gsave"),
                      QStringLiteral("Cadre"),
                      QStringLiteral("/es { 0} def"),
                  }));
    }
}

TEST_F(EpsTest, CommentLinesReplacedByKeyWhateverTheirCaseAndLineEnds) {
    // Lines ending in CR, LF and CR LF; the first key in the order box, title, date wins.
    WriteAll(mapFolder + QStringLiteral("prolzeb.ps"), "%!PS-Adobe-3.0 EPSF-3.0\r"
                                                       "% our map %%tItLe goes here\n"
                                                       "%%boundingbox: (atend) %%Title\r\n"
                                                       "%%CreationDate: today %%TITLE\r"
                                                       "%%HiResBoundingBox: 0 0 1 1\n"
                                                       "%%creationdate:\n"
                                                       "/m {moveto} bind def");
    const QString out = path(QStringLiteral("keys.eps"));
    const QStringList lines = PrologueOutput(session, out, QDate(2031, 11, 30));
    ASSERT_EQ(lines.size(), 7 + 9);
    EXPECT_EQ(lines.mid(0, 7), (QStringList{QStringLiteral("%!PS-Adobe-3.0 EPSF-3.0"),
                                            QStringLiteral("%%Title: ZEB - ") + out,
                                            QStringLiteral("%%BoundingBox:  42   530   552   800 "),
                                            QStringLiteral("%%Title: ZEB - ") + out,
                                            QStringLiteral("%%HiResBoundingBox: 0 0 1 1"),
                                            QStringLiteral("%%CreationDate: 11-30-2031"),
                                            QStringLiteral("/m {moveto} bind def")}));

    // Without a title line in the prologue the file has none.
    WriteAll(mapFolder + QStringLiteral("prolzeb.ps"), "%!PS\r\n%%BoundingBox: 0 0 0 0\r\n");
    const QStringList bare = PrologueOutput(session, out, QDate(2031, 11, 30));
    EXPECT_FALSE(bare.join(QLatin1Char('\n')).contains(QStringLiteral("Title")));
    EXPECT_EQ(bare.size(), 2 + 9);
}

TEST_F(EpsTest, PrologueOfTheProgramFolderWhenNoMapFolderIsSet) {
    WriteAll(programFolder + QStringLiteral("prolzeb.ps"), "% the program's own prologue\r\n");
    const QString out = path(QStringLiteral("folder.eps"));
    EXPECT_EQ(PrologueOutput(session, out, QDate(2026, 1, 1)).first(),
              QStringLiteral("%!PS-Adobe-3.0 EPSF-3.0"));
    session.map.MapFolder.clear();
    EXPECT_EQ(cartography::ProloguePath(session), programFolder + QStringLiteral("prolzeb.ps"));
    EXPECT_EQ(PrologueOutput(session, out, QDate(2026, 1, 1)).first(),
              QStringLiteral("% the program's own prologue"));
}

// Where a symbol line puts a record, against PROJ's equidistant cylindrical projection on the
// map's sphere.
void ExpectSymbolAt(const QString& line, double lat, double lon) {
    const testref::ProjGrid eqc("+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                "+step +proj=eqc +R=6378388 +lon_0=0");
    double x = 0;
    double y = 0;
    eqc.forward(lat, lon, x, y);
    // The fixture's frame: x from -1000 km to 1000 km over 500 points, y from 4500 km to 5500 km
    // over 250 points, its bottom at 550.
    const double px = (x / 1000.0 + 1000.0) / 2000.0 * 500.0 + 50.0;
    const double py = (y / 1000.0 - 4500.0) / 1000.0 * 250.0 + 550.0;
    const QStringList numbers = line.simplified().split(QLatin1Char(' '));
    ASSERT_GE(numbers.size(), 3);
    EXPECT_NEAR(numbers[0].toDouble(), px, 0.01) << line.toStdString();
    EXPECT_NEAR(numbers[1].toDouble(), py, 0.01) << line.toStdString();
}

TEST_F(EpsTest, WholeFileInColourAndInBlackAndWhite) {
    Add(45.0F, 0.0F);
    Add(999.0F, 999.0F); // no position: not written
    Add(47.5F, 6.0F);
    const QStringList baseMap = FileLines(SourcePath("tests/fixtures/cartography/basemap.ps"));
    for (const int mode : {1, 0}) {
        SCOPED_TRACE(mode);
        const QString out = path(QStringLiteral("map%1.eps").arg(mode));
        prompter.expect(AnswerWith(platform::Answer::Ok));
        EXPECT_TRUE(cartography::FaitEPS(session, canvas, host, out, mode));
        ASSERT_EQ(prompter.messages().size(), static_cast<std::size_t>(2 - mode));
        const platform::MessageRequest& done = prompter.messages().back();
        EXPECT_EQ(done.text,
                  QStringLiteral("Fichier ") + out + QStringLiteral(" créé avec succès."));
        EXPECT_EQ(done.icon, platform::Icon::Information);

        const QStringList lines = EpsLines(out);
        const qsizetype start = lines.indexOf(QStringLiteral("/es { 0} def")) + 1;
        ASSERT_GT(start, 0);
        EXPECT_EQ(lines[start],
                  mode == 1 ? QStringLiteral("/coul true def") : QStringLiteral("/coul false def"));
        EXPECT_EQ(lines[start + 1], QStringLiteral("/PresLeg false def "));
        EXPECT_EQ(lines.mid(start + 2, baseMap.size()), baseMap);
        const QStringList symbols = lines.mid(start + 2 + baseMap.size(), 2);
        for (const QString& symbol : symbols) {
            EXPECT_TRUE(
                symbol.endsWith(mode == 1 ? QStringLiteral(" sc1") : QStringLiteral(" 0 s1")))
                << symbol.toStdString();
        }
        ExpectSymbolAt(symbols[0], 45.0, 0.0);
        ExpectSymbolAt(symbols[1], 47.5, 6.0);
        // The graticule is off: no mark and no graticule pen.
        EXPECT_EQ(lines.mid(start + 4 + baseMap.size()), kClosingLines);
        EXPECT_FALSE(lines.contains(QStringLiteral("0 sg .1 setlinewidth")));
        EXPECT_TRUE(lines.filter(QRegularExpression(QStringLiteral(" m1$"))).isEmpty());
        EXPECT_EQ(
            lines.filter(QRegularExpression(QStringLiteral(R"(^%%CreationDate: \d\d-\d\d-\d{4}$)")))
                .size(),
            1);
        ExpectGhostscriptAccepts(out);
    }
}

TEST_F(EpsTest, GraticuleMarksAfterTheSymbols) {
    Add(45.0F, 0.0F);
    session.GridShown = true;
    session.gridStep = 2.0F;
    SetExtent(-1000.0F, 4500.0F, 1000.0F, 2000.0F); // an upright page this time
    const QString out = path(QStringLiteral("grid.eps"));
    prompter.expect(AnswerWith(platform::Answer::Ok));
    ASSERT_TRUE(cartography::FaitEPS(session, canvas, host, out, 1));
    const QStringList lines = EpsLines(out);
    const qsizetype pen = lines.indexOf(QStringLiteral("0 sg .1 setlinewidth"));
    const qsizetype symbol = lines.indexOf(QRegularExpression(QStringLiteral(".* sc1")));
    ASSERT_GT(pen, symbol);
    ASSERT_GT(symbol, 0);
    const QStringList marks = lines.mid(pen + 1, lines.size() - pen - 1 - kClosingLines.size());
    ASSERT_FALSE(marks.isEmpty());
    for (const QString& mark : marks) {
        EXPECT_TRUE(mark.endsWith(QStringLiteral(" m1"))) << mark.toStdString();
    }
    EXPECT_EQ(lines.mid(lines.size() - kClosingLines.size()), kClosingLines);
    ExpectGhostscriptAccepts(out);
}

TEST_F(EpsTest, EmptyDocumentGivesACompleteFileWithoutSymbols) {
    const QString out = path(QStringLiteral("empty.eps"));
    prompter.expect(AnswerWith(platform::Answer::Ok));
    ASSERT_TRUE(cartography::FaitEPS(session, canvas, host, out, 0));
    EXPECT_EQ(prompter.beeps(), 1);
    const QStringList lines = EpsLines(out);
    EXPECT_TRUE(lines.filter(QRegularExpression(QStringLiteral(" 0 s1$"))).isEmpty());
    EXPECT_EQ(lines.mid(lines.size() - kClosingLines.size()), kClosingLines);
    ExpectGhostscriptAccepts(out);
}

TEST_F(EpsTest, FailureClosesTheFileWithWhatWasWrittenAndShowsTheError) {
    struct Case {
        const char* name;
        std::function<void(cartography::CartoSession&)> spoil;
        const char* box;  // the error box's first line
        int linesWritten; // -1: up to section 12
    };
    const std::vector<Case> cases = {
        {"no base map",
         [](cartography::CartoSession& s) { s.map.BaseMapPath = "/nonexistent/base.ps"; },
         "Error 53", -1},
        {"no prologue", [](cartography::CartoSession& s) { s.map.MapFolder = "/nonexistent/"; },
         "Error 53", 0},
        {"no extent", [](cartography::CartoSession& s) { s.extent = {}; }, "Error 11", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cartography::CartoSession spoilt;
        spoilt.map = session.map;
        spoilt.extent = session.extent;
        spoilt.projection = session.projection;
        spoilt.programFolder = session.programFolder;
        c.spoil(spoilt);
        const QString out = path(QStringLiteral("failed.eps"));
        const std::size_t before = prompter.messages().size();
        prompter.expect(AnswerWith(platform::Answer::Ok));
        EXPECT_FALSE(cartography::FaitEPS(spoilt, canvas, host, out, 1));
        ASSERT_EQ(prompter.messages().size(), before + 1);
        EXPECT_TRUE(prompter.messages().back().text.startsWith(QLatin1String(c.box)))
            << prompter.messages().back().text.toStdString();
        EXPECT_EQ(prompter.messages().back().icon, platform::Icon::Exclamation);
        ASSERT_TRUE(QFile::exists(out));
        const QByteArray written = ReadAll(out);
        if (c.linesWritten == 0) {
            EXPECT_TRUE(written.isEmpty());
        } else {
            EXPECT_TRUE(written.endsWith("/coul true def\r\n/PresLeg false def \r\n"));
        }
        QFile::remove(out);
    }
}

TEST_F(EpsTest, SaveDialogStartsInTheDataFolderAndCancelDoesNothing) {
    Add(45.0F, 0.0F);
    prompter.expect(SaveAs(QString()));
    cartography::Imprime(session, canvas, host, 1);
    ASSERT_EQ(prompter.fileDialogs().size(), 1U);
    const platform::FileDialogRequest& first = prompter.fileDialogs().front();
    EXPECT_EQ(first.filter,
              QStringLiteral("Fichiers EPS (*.eps)|*.eps|Tous les fichiers (*.*)|*.*"));
    EXPECT_TRUE(first.confirmOverwrite);
    EXPECT_TRUE(first.fileName.isEmpty());
    EXPECT_EQ(first.folder, platform::DocumentsFolder());
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_TRUE(QDir(folder()).entryList({QStringLiteral("*.eps")}).isEmpty());

    const QString data = path(QStringLiteral("data"));
    platform::SaveSetting(QStringLiteral("DOVAZOV"), QStringLiteral("Paths"),
                          QStringLiteral("Data"), data);
    const QString out = path(QStringLiteral("chosen.eps"));
    prompter.expect(SaveAs(out));
    prompter.expect(AnswerWith(platform::Answer::Ok));
    cartography::Imprime(session, canvas, host, 0);
    EXPECT_EQ(prompter.fileDialogs().back().folder, data);
    EXPECT_EQ(platform::GetSetting(QStringLiteral("DOVAZOV"), QStringLiteral("Paths"),
                                   QStringLiteral("Data")),
              data);
    ASSERT_TRUE(QFile::exists(out));
    EXPECT_EQ(prompter.messages().back().icon, platform::Icon::Information);
    ExpectGhostscriptAccepts(out);
}

} // namespace

namespace {

// The default map set's own prologue and base maps, with records and the graticule, in both modes.
TEST_F(EpsTest, EveryMapOfTheDefaultSetRendersWithGhostscript) {
    const QString carto = QFileInfo(QStringLiteral(DOVAZOV_DATUM_DB)).path() + "/carto/";
    Add(48.85F, 2.35F);   // Paris
    Add(64.15F, -21.94F); // Reykjavik
    Add(-33.92F, 18.42F); // Cape Town
    Add(78.22F, 15.65F);  // Longyearbyen
    Add(-45.0F, 170.0F);  // the far side of the globe
    session.GridShown = true;
    session.gridStep = 10.0F;
    for (const char* name : {"world.dsw", "europe.dsw", "polar.dsw", "globe.dsw"}) {
        SCOPED_TRACE(name);
        const QString dsw = carto + QLatin1String(name);
        ASSERT_TRUE(QFile::exists(dsw));
        session.map = cartography::ReadMapDescription(dsw.toStdString());
        session.projection = {};
        cartography::SetCylindricalFactors(session.projection);
        cartography::SetUpProjection(session.map, session.projection);
        session.extent = cartography::ComputeExtent(session.map, session.projection);
        for (const int mode : {1, 0}) {
            const QString out = path(QStringLiteral("set%1.eps").arg(mode));
            prompter.expect(AnswerWith(platform::Answer::Ok));
            ASSERT_TRUE(cartography::FaitEPS(session, canvas, host, out, mode));
            EXPECT_EQ(prompter.messages().back().icon, platform::Icon::Information);
            ExpectGhostscriptAccepts(out);
        }
    }
}

} // namespace
