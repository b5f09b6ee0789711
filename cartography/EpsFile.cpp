#include "cartography/EpsFile.h"

#include "cartography/CartoSession.h"
#include "cartography/CartoSettings.h"
#include "cartography/DistributionSymbols.h"
#include "cartography/Graticule.h"
#include "common/AppError.h"
#include "maps/MapRecords.h"
#include "platform/ErrorBox.h"
#include "platform/FileReplacement.h"
#include "platform/Prompter.h"
#include "platform/TextFile.h"
#include "platform/WaitCursor.h"
#include "platform/Windows1252.h"

#include <QByteArray>
#include <optional>
#include <string>

namespace cartography {

namespace {

QString Decoded(const std::string& bytes) {
    return platform::DecodeWindows1252(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString Latin(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// The replacement of a prologue line that holds one of the three keys, in the keys' order.
std::optional<QString> CommentLine(const QString& line, const PageGeometry& page,
                                   const QString& path, const QDate& today) {
    const QString upper = line.toUpper();
    if (upper.contains(QLatin1String("%%BOUNDINGBOX"))) {
        return QStringLiteral("%%BoundingBox: ") + Latin(PrintForm(page.boxLeft())) +
               QLatin1Char(' ') + Latin(PrintForm(page.boxBottom())) + QLatin1Char(' ') +
               Latin(PrintForm(page.boxRight())) + QLatin1Char(' ') +
               Latin(PrintForm(PageGeometry::kBoxTop));
    }
    if (upper.contains(QLatin1String("%%TITLE"))) {
        return QStringLiteral("%%Title: ZEB - ") + path;
    }
    if (upper.contains(QLatin1String("%%CREATIONDATE"))) {
        return QStringLiteral("%%CreationDate: ") + today.toString(QStringLiteral("MM-dd-yyyy"));
    }
    return std::nullopt;
}

// The rights notice under the map, in ISO Latin-1 with octal escapes.
constexpr char kRightsNotice[] = R"((\251 ZEB - DOVAZOV) /cpr exch def)";

void WriteClosing(EpsOutput& file) {
    for (const char* text : {
             "/Courier /Courier scandvec ReEncodeSmall /Courier findfont 6 scalefont setfont",
             "0 setgray .1 setlinewidth",
             "Lx 4 add Ly 6 add m",
             kRightsNotice,
             "gsave cpr false charpath pathbbox Box grestore cpr show",
             "PresLeg {PutLeg} { } ifelse",
             "0 sg Lx Ly m Lx Uy l Ux Uy l Ux Ly l c s",
             "grestore showpage",
             "clear",
             "%%Trailer",
         }) {
        file.line(std::string_view(text));
    }
}

// The number and description the error box shows for a failure of the writing.
void ShowWriteError(const std::exception& error) {
    if (const auto* failure = dynamic_cast<const platform::FileWriteError*>(&error)) {
        platform::ShowError(
            common::kPathFileAccess,
            QString::fromStdString(common::ErrorDescription(common::kPathFileAccess)) +
                QStringLiteral(": ") + failure->text());
        return;
    }
    platform::ShowErrorOf(error);
}

} // namespace

QString ProloguePath(const CartoSession& session) {
    QString folder = Decoded(session.map.MapFolder);
    if (folder.isEmpty()) {
        folder = session.programFolder;
    }
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/')) &&
        !folder.endsWith(QLatin1Char('\\'))) {
        folder += QLatin1Char('/');
    }
    return folder + QLatin1String(kPrologueName);
}

PageGeometry EcritPrologue(platform::TextFileWriter& file, const CartoSession& session,
                           const QString& path, const QDate& today) {
    const MapExtent& extent = session.extent;
    const PageGeometry page =
        PageOf(extent.Xmin, extent.Ymin, extent.ExtentWidth, extent.ExtentHeight, extent.ExtentMax);

    platform::TextFileReader prologue(ProloguePath(session));
    while (!prologue.atEnd()) {
        const QString line = prologue.readLine();
        const std::optional<QString> replaced = CommentLine(line, page, path, today);
        file.writeLine(replaced ? *replaced : line);
    }

    EpsOutput out(file, page);
    out.line(std::string_view("/Lx {50} bind def"));
    out.line(std::string_view("/Uy {800} bind def"));
    out.line("/Ux {" + PrintForm(page.PageWidth) + " 50 add} bind def");
    out.line("/Ly {800" + PrintForm(page.PageHeight) + "sub} bind def");
    out.line(StrForm(page.shift()) + " 0  translate");
    out.line(std::string_view(
        "/Cadre {Lx Ly m Lx Uy l Ux Uy l Ux Ly l c clip clippath 0 setgray ec sl s} bind def"));
    out.line(std::string_view("gsave"));
    out.line(std::string_view("Cadre"));
    out.line("/es {" + StrForm(0) + "} def");
    return page;
}

void Recopie(const QString& source, EpsOutput& file) {
    platform::TextFileReader input(source);
    while (!input.atEnd()) {
        file.line(input.readLine());
    }
}

bool FaitEPS(CartoSession& session, MapCanvas& canvas, const maps::MapHost& host,
             const QString& path, int mode) {
    std::optional<platform::TextFileWriter> writer;
    try {
        writer.emplace(path);
        EpsOutput file(*writer, EcritPrologue(*writer, session, path));
        file.line(std::string_view(mode == 1 ? "/coul true def" : "/coul false def"));
        file.line(std::string_view("/PresLeg false def "));
        {
            const platform::WaitCursor wait;
            Recopie(Decoded(session.map.BaseMapPath), file);
            PlotDistri(session, canvas, host, &file, mode);
            if (session.GridShown) {
                DisplayGrid(session, canvas, &file, 0);
            }
            WriteClosing(file);
            writer->commit();
        }
    } catch (const std::exception& error) {
        // The file keeps what was written before the failure.
        if (writer) {
            try {
                writer->commit();
            } catch (const platform::FileWriteError&) {
                // The error being shown already says the file could not be written.
            }
        }
        ShowWriteError(error);
        return false;
    }
    platform::MsgBox(QStringLiteral("Fichier ") + path + QStringLiteral(" créé avec succès."),
                     platform::Buttons::Ok, platform::Icon::Information);
    return true;
}

void Imprime(CartoSession& session, MapCanvas& canvas, const maps::MapHost& host, int mode) {
    try {
        const QString path =
            AskOutputFile(QStringLiteral("Fichiers EPS (*.eps)|*.eps|Tous les fichiers (*.*)|*.*"));
        if (path.isEmpty()) {
            return;
        }
        FaitEPS(session, canvas, host, path, mode);
    } catch (const std::exception& error) {
        platform::ShowErrorOf(error);
    }
}

} // namespace cartography
