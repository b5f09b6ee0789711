#include "platform/NumberLocale.h"

#include <clocale>

namespace platform {

void KeepCNumberNotation() {
    std::setlocale(LC_NUMERIC, "C");
}

} // namespace platform
