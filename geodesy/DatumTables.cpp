#include "geodesy/DatumTables.h"

#include "common/AppError.h"

#include <algorithm>
#include <cctype>

namespace geodesy {

namespace {

DatumState& State() {
    static DatumState state;
    return state;
}

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

} // namespace

const DatumRec& DatumState::datum(int index) const {
    if (index < 1 || index > datumCount()) {
        throw common::AppError(common::kSubscript);
    }
    return DatumTable[static_cast<size_t>(index)];
}

const EllipsoidRec& DatumState::ellipsoid(int index) const {
    if (index < 1 || index > ellipsoidCount()) {
        throw common::AppError(common::kSubscript);
    }
    return EllipsoidTable[static_cast<size_t>(index)];
}

DatumState& Datums() {
    return State();
}

void ResetDatumState() {
    State() = DatumState{};
}

std::string TrimCode(std::string_view code) {
    const auto first = code.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = code.find_last_not_of(' ');
    return std::string(code.substr(first, last - first + 1));
}

std::string FixedCode(std::string_view code) {
    std::string fixed(code.substr(0, 5));
    fixed.resize(5, ' ');
    return fixed;
}

std::int16_t DatumIndex(std::string_view code) {
    const DatumState& state = State();
    if (!state.datumTableFilled) {
        throw common::AppError(common::kSubscript);
    }
    const std::string wanted = TrimCode(code);
    for (int i = 1; i <= state.datumCount(); ++i) {
        if (TrimCode(state.DatumTable[static_cast<size_t>(i)].Code) == wanted) {
            return static_cast<std::int16_t>(i);
        }
    }
    return 0;
}

void SelectDatum(int datum) {
    DatumState& state = State();
    state.Ellipsoid = state.datum(datum).ELLI_ID;
    const EllipsoidRec& ellipsoid = state.ellipsoid(state.Ellipsoid);
    state.EllipsoidA = ellipsoid.A;
    state.EllipsoidF = common::Divide(1.0, ellipsoid.f_Inv);
    state.EllipsoidB = (1.0 - state.EllipsoidF) * state.EllipsoidA;
}

void NoteSystemDatum(const DatumRec& datum, std::int16_t index) {
    DatumState& state = State();
    const std::string code = UpperCase(TrimCode(datum.Code));
    if (code == "EUR-M") {
        state.GridDatums[kEurM] = index;
    } else if (code == "WGS84") {
        state.Wgs84Datum = index;
    } else if (code == "NTF") {
        state.GridDatums[kNtf] = index;
    } else if (code == "OGB-M") {
        state.GridDatums[kOgbM] = index;
    } else if (code == "IRL") {
        state.GridDatums[kIrl] = index;
    } else if (code == "BEL72") {
        state.GridDatums[kBel72] = index;
    } else if (code == "MER") {
        state.GridDatums[kMer] = index;
    }
}

void SetDefaultDatumIndexes() {
    DatumState& state = State();
    const auto indexOrEurM = [](const std::string& code) {
        const std::int16_t index = DatumIndex(code);
        return index != 0 ? index : DatumIndex("EUR-M");
    };
    state.DestIndex = indexOrEurM(state.DestCode);
    state.FromIndex = indexOrEurM(state.FromCode);
    state.UTMIndex = indexOrEurM(state.UTMCode);
}

} // namespace geodesy
