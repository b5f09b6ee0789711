#pragma once

#include <string>
#include <string_view>

namespace geodesy {

// The datum code of a datum name as GPS receivers write it in their exchange files ("EUROPEAN
// 1950" -> "EUR-M"); "" for a name outside the receivers' vocabulary. The name is upper-cased and
// then compared exactly: no trimming, no collapsing of blanks.
std::string GpsDatumCode(std::string_view name);

} // namespace geodesy
