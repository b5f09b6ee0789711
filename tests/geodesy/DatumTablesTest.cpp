#include "geodesy/DatumTables.h"

#include "../support/ErrorOf.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ErrorOf;

TEST(DatumTables, LookupsBeforeALoadAndOutOfRangeRaiseError9) {
    geodesy::ResetDatumState();
    EXPECT_EQ(ErrorOf([] { geodesy::DatumIndex("EUR-M"); }), 9);
    EXPECT_EQ(ErrorOf([] { geodesy::SelectDatum(1); }), 9);

    auto& state = geodesy::Datums();
    state.DatumTable.resize(2);
    state.datumTableFilled = true;
    state.DatumTable[1].Code = "ABC  ";
    state.DatumTable[1].ELLI_ID = 2; // no such ellipsoid
    state.EllipsoidTable.resize(2);
    state.EllipsoidTable[1] = {1, "ZZ", "zero", 6378000, 0};
    EXPECT_EQ(ErrorOf([] { geodesy::SelectDatum(0); }), 9);
    EXPECT_EQ(ErrorOf([] { geodesy::SelectDatum(2); }), 9);
    EXPECT_EQ(ErrorOf([] { geodesy::SelectDatum(1); }), 9);
    state.DatumTable[1].ELLI_ID = 1; // inverse flattening 0
    EXPECT_EQ(ErrorOf([] { geodesy::SelectDatum(1); }), 11);
    geodesy::ResetDatumState();
}

TEST(DatumTables, CodesAreTrimmedAndFixedToFiveCharacters) {
    EXPECT_EQ(geodesy::TrimCode("  NTF  "), "NTF");
    EXPECT_EQ(geodesy::TrimCode("   "), "");
    EXPECT_EQ(geodesy::FixedCode("NTF"), "NTF  ");
    EXPECT_EQ(geodesy::FixedCode("ABCDEFG"), "ABCDE");
}

} // namespace
