#include "document/Recompute.h"

#include "common/AppError.h"
#include "common/Numeric.h"
#include "document/DataControl.h"
#include "document/DistributionFormat.h"
#include "document/DocumentState.h"
#include "geodesy/DatumTables.h"
#include "geodesy/Molodensky.h"
#include "platform/Feedback.h"
#include "platform/Prompter.h"
#include "platform/WaitCursor.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>

namespace document {

double CellIndex(double value, double cell, double scale) {
    const double quotient = common::Divide(value, cell);
    const double units = value * scale;
    const double cellUnits = std::round(cell * scale);
    if (!(std::fabs(units) < 1e15) || !(cellUnits >= 1.0 && cellUnits < 1e15) ||
        std::fabs(cell * scale - cellUnits) > 1e-6 * cellUnits) {
        return std::floor(quotient);
    }
    const auto v = static_cast<long long>(std::llround(units));
    const auto c = static_cast<long long>(cellUnits);
    long long k = v / c;
    if (v % c != 0 && v < 0) {
        --k; // toward minus infinity
    }
    return static_cast<double>(k);
}

double MeshAsWritten(float mesh) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(mesh));
    return std::strtod(text, nullptr);
}

double SnapToWrittenCell(double value, double mesh) {
    constexpr double kGridPerDegree = 1e7; // about a centimetre
    return CellIndex(value, mesh, kGridPerDegree) * mesh + mesh / 2.0;
}

double SnapToCell(double value, float mesh) {
    return SnapToWrittenCell(value, MeshAsWritten(mesh));
}

float FiveDecimals(double degrees) {
    const double rounded = static_cast<double>(deg::ScaledHalfAway(degrees, 5)) / 1e5;
    if (std::fabs(rounded) > static_cast<double>(std::numeric_limits<float>::max())) {
        throw common::AppError(common::kOverflow);
    }
    const float value = static_cast<float>(rounded);
    return value == 0.0F ? 0.0F : value; // no negative zero
}

PositionRule ShiftAndCellRule(float meshLat, float meshLon) {
    PositionRule rule;
    rule.one = [meshLat, meshLon](const RowPosition& row) -> std::optional<LatLon> {
        LatLon out{row.lat, row.lon};
        geodesy::ShiftDatum(row.lat, row.lon, 0.0, out.lat, out.lon, row.datum,
                            geodesy::Datums().DestIndex);
        // A mesh of 999 leaves its axis unsnapped, also when the other is snapped.
        if (meshLat != kNoMesh) {
            out.lat = SnapToCell(out.lat, meshLat);
        }
        if (meshLon != kNoMesh) {
            out.lon = SnapToCell(out.lon, meshLon);
        }
        return out;
    };
    rule.block = [meshLat, meshLon](PositionBlock& block) {
        ShiftMovedRows(block, geodesy::Datums().DestIndex);
        if (meshLat == kNoMesh && meshLon == kNoMesh) {
            return;
        }
        // The meshes as written, once a block rather than three times a value.
        const double writtenLat = meshLat == kNoMesh ? 0.0 : MeshAsWritten(meshLat);
        const double writtenLon = meshLon == kNoMesh ? 0.0 : MeshAsWritten(meshLon);
        // A value within a hair of a cell's edge may fall on the other side in the one-point path.
        const auto snap = [](double& value, float mesh, double written) {
            if (mesh == kNoMesh) {
                return true;
            }
            const auto cell = [written](double v) { return SnapToWrittenCell(v, written); };
            if (!SteadyWithin(value, kHairDegrees, cell)) {
                return false;
            }
            value = cell(value);
            return true;
        };
        for (std::size_t i = 0; i < block.size(); ++i) {
            if (block.outcome[i] == RowOutcome::Moved &&
                (!snap(block.newLat[i], meshLat, writtenLat) ||
                 !snap(block.newLon[i], meshLon, writtenLon))) {
                block.outcome[i] = RowOutcome::Redo;
            }
        }
    };
    return rule;
}

PositionRule RecomputeRule(float meshLat, float meshLon) {
    PositionRule rule = ShiftAndCellRule(meshLat, meshLon);
    rule.eitherAxisUnknown = false;
    rule.blankDatumIsWgs84 = false;
    return rule;
}

std::ptrdiff_t AjusteDegresOn(const RecordSet& rows, float ajustLat, float ajustLon) {
    const platform::WaitCursor busy;
    if (rows.bookmarkList()->size() == 0) {
        return 0;
    }
    platform::ShowProgress(true);
    const PositionWalkResult result = WalkPositions(rows, RecomputeRule(ajustLat, ajustLon));
    platform::SetProgress(100);
    platform::ShowProgress(false);
    platform::BeepUnlessSilent();
    return result.written;
}

void AjusteDegres(float ajustLat, float ajustLon) {
    DataControl& data = Data1();
    if (!data.bound() || data.recordset().recordCount() == 0) {
        platform::ResetCursor();
        return;
    }
    std::ptrdiff_t written = 0;
    try {
        written = AjusteDegresOn(data.recordset().clone(), ajustLat, ajustLon);
    } catch (...) {
        platform::ShowProgress(false);
        throw;
    }
    if (written > 0) {
        Document().FileModified = -1;
    }
    data.refresh();
}

} // namespace document
