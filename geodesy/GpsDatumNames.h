#pragma once

#include <span>
#include <string>
#include <string_view>

namespace geodesy {

// The datum code of a datum name as GPS receivers write it in their exchange files ("EUROPEAN
// 1950" -> "EUR-M"); "" for a name outside the receivers' vocabulary. The name is upper-cased and
// then compared exactly: no trimming, no collapsing of blanks.
std::string GpsDatumCode(std::string_view name);

// One name of the receivers' vocabulary and the datum code it stands for.
struct GpsDatumName {
    std::string_view name;
    std::string_view code;
};
// The vocabulary in the order names are compared.
std::span<const GpsDatumName> GpsDatumNames();

} // namespace geodesy
