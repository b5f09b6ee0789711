#include "exchange/ImportCommands.h"

#include "common/AppError.h"
#include "document/DocumentState.h"
#include "exchange/ImportCoordReader.h"
#include "exchange/ImportPcx5.h"
#include "exchange/ImportTransaction.h"
#include "platform/ErrorBox.h"
#include "platform/Feedback.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

namespace exchange {

namespace {

// The progress bar a failed recompute leaves shown goes away with the import.
template <typename Work> auto HidingProgressOnError(Work&& work) {
    try {
        return work();
    } catch (...) {
        platform::ShowProgress(false);
        throw;
    }
}

double FractionOf(qint64 done, qint64 total) {
    return total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
}

QString DescriptionOf(const std::exception& error) {
    return QString::fromStdString(error.what());
}

} // namespace

int ImportCoordRecords(const QString& path, int systemIndex) {
    const platform::WaitCursor busy;
    return HidingProgressOnError([&] {
        CoordFileReader reader(path, static_cast<geodesy::CoordSystem>(systemIndex));
        ImportTransaction transaction(
            [&reader] { return FractionOf(reader.position(), reader.size()); });
        while (const auto record = reader.next()) {
            transaction.add(*record);
        }
        transaction.commit();
        return transaction.added();
    });
}

bool ImportCoord(const QString& path, int systemIndex) {
    if (path.isEmpty() || systemIndex < 0 || systemIndex >= geodesy::kCoordSystemCount) {
        return false;
    }
    try {
        ImportCoordRecords(path, systemIndex);
    } catch (const std::exception& e) {
        platform::ResetCursor();
        platform::BeepUnlessSilent();
        platform::MsgBox(platform::ResText(660) + QLatin1Char('\r') + DescriptionOf(e));
        return false;
    }
    platform::Settings().UtmAjust = 0;
    platform::Settings().GridAjust = 0;
    return true;
}

int ImportPcx5Records(const QString& path) {
    const platform::WaitCursor busy;
    return HidingProgressOnError([&] {
        double read = 0.0;
        ImportTransaction transaction([&read] { return read; });
        const document::DocumentState& doc = document::Document();
        ReadPcx5(
            path, Pcx5Document{doc.FreeFieldCount, doc.FreeFieldSeparator},
            [&](const document::Record& record) { transaction.add(record); },
            [&read](double fraction) { read = fraction; });
        transaction.commit();
        return transaction.added();
    });
}

void ImportGarmin() {
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Fichiers wpt (*.wpt)|*.wpt|Tous les fichiers (*.*)|*.*");
    const QString path = platform::CurrentPrompter().openFile(request);
    if (path.isEmpty()) {
        return;
    }
    try {
        ImportPcx5Records(path);
    } catch (const Pcx5NotLatLonDm&) {
        platform::ResetCursor();
        platform::MsgBox(QStringLiteral("Les coordonnées doivent être exprimées en LAT LON "
                                        "DM.\rImportation annulée."),
                         platform::Buttons::Ok, platform::Icon::Critical);
    } catch (const std::exception& e) {
        platform::ShowErrorOf(e);
    }
}

QString ChooseMapSourceFile() {
    platform::FileDialogRequest request;
    request.filter = QStringLiteral("Text file (*.txt)|*.txt|All files (*.*)|*.*");
    return platform::CurrentPrompter().openFile(request);
}

int ImportWaypointRecords(const WaypointImportInput& input,
                          const std::vector<QStringList>& waypoints) {
    const WaypointRecordBuilder builder(input);
    if (builder.altitudeSlotMissing()) {
        platform::MsgBox(QStringLiteral("The altitude will not be imported since it is not used "
                                        "in the free fields"),
                         platform::Buttons::Ok, platform::Icon::Critical);
    }
    const platform::WaitCursor busy;
    return HidingProgressOnError([&] {
        std::size_t i = 0;
        ImportTransaction transaction([&] {
            return FractionOf(static_cast<qint64>(i), static_cast<qint64>(waypoints.size()));
        });
        for (; i < waypoints.size(); ++i) {
            const QStringList& cells = waypoints[i];
            try {
                if (const auto record = builder.record(cells)) {
                    transaction.add(*record);
                }
            } catch (const common::AppError& e) {
                throw common::AppError(e.number(), QStringLiteral("Waypoint %1 (%2): %3")
                                                       .arg(i + 1)
                                                       .arg(cells.value(1))
                                                       .arg(QString::fromStdString(e.description()))
                                                       .toStdString());
            }
        }
        transaction.commit();
        return transaction.added();
    });
}

} // namespace exchange
