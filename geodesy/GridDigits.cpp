#include "geodesy/GridDigits.h"

#include "common/AppError.h"
#include "common/Numeric.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace geodesy {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Characters `start` (1-based) to start + length - 1, as far as the text goes.
std::string Mid(const std::string& text, std::size_t start, std::size_t length) {
    if (start > text.size()) {
        return {};
    }
    return text.substr(start - 1, length);
}

// The numeric value of one character of a reference: 0 to 9, 0 for anything but a digit.
int DigitAt(const std::string& text, std::size_t position) {
    return static_cast<int>(common::NumericValue(Mid(text, position, 1)));
}

// Prefix length of a reference: five when it begins with a digit, else two.
std::size_t PrefixLength(const std::string& ref) {
    return !ref.empty() && IsDigit(ref.front()) ? 5 : 2;
}

std::string WithoutBlanks(std::string ref) {
    ref.erase(std::remove(ref.begin(), ref.end(), ' '), ref.end());
    return ref;
}

// The expansion itself; false (ref without blanks) when the reference is shorter than its prefix.
bool Expand(std::string& ref) {
    ref = WithoutBlanks(std::move(ref));
    const std::size_t prefixLength = PrefixLength(ref);
    if (ref.size() < prefixLength) {
        return false;
    }
    const std::string prefix = ref.substr(0, prefixLength);
    const std::string digits = ref.substr(prefixLength);
    static const char* const kFill[] = {"", "4999", "499", "49", "4"};
    // An odd count has no whole half and is left as it is.
    const std::size_t half = digits.size() / 2;
    if (digits.size() % 2 == 0 && half >= 1 && half <= 4) {
        ref =
            prefix + digits.substr(0, half) + kFill[half] + digits.substr(half, half) + kFill[half];
    }
    return true;
}

} // namespace

void ExpandGridDigits(std::string& ref) {
    if (!Expand(ref)) {
        throw common::AppError(common::kInvalidCall,
                               "Invalid procedure call or argument: grid reference \"" + ref +
                                   "\" is shorter than its letters");
    }
}

bool TryExpandGridDigits(std::string& ref) {
    if (!Expand(ref)) {
        return false;
    }
    const std::string digits = ref.substr(PrefixLength(ref));
    return digits.size() == 10 && std::all_of(digits.begin(), digits.end(), IsDigit);
}

void SnapTenDigits(char* digits, int utmAjust) {
    char* const east = digits;
    char* const north = digits + 5;
    const auto put = [](char* at, std::string_view text) { text.copy(at, text.size()); };
    for (char* d : {east, north}) {
        switch (utmAjust) {
        case kSnap100m:
            put(d + 3, "49");
            break;
        case kSnap1km:
            put(d + 2, "499");
            break;
        case kSnap5km:
            put(d + 1, d[1] <= '4' ? "2555" : "7555");
            break;
        case kSnap10km:
            put(d + 1, "4999");
            break;
        case kSnap20km:
            d[0] = static_cast<char>('0' + 2 * ((d[0] - '0') / 2) + 1);
            put(d + 1, "0000");
            break;
        case kSnap50km:
            put(d, d[0] <= '4' ? "25555" : "75555");
            break;
        case kSnap100km:
            put(d, "49999");
            break;
        default:
            break;
        }
    }
}

void SnapGridPrecision(std::string& ref, int utmAjust) {
    // Two letters and ten digits, as a walk's references are: expanding leaves them as they are.
    if (ref.size() == 12 && !IsDigit(ref[0]) && ref[0] != ' ' && ref[1] != ' ' &&
        std::all_of(ref.begin() + 2, ref.end(), IsDigit)) {
        SnapTenDigits(ref.data() + 2, utmAjust);
        return;
    }
    const std::string letters = ref.substr(0, 2);
    std::string full = ref;
    ExpandGridDigits(full);
    const int e1 = DigitAt(full, 3), e2 = DigitAt(full, 4);
    const int n1 = DigitAt(full, 8), n2 = DigitAt(full, 9);
    const auto digit = [](int value) { return std::string(1, static_cast<char>('0' + value)); };
    const auto fiveKm = [](int second) { return second <= 4 ? "2555" : "7555"; };
    const auto fiftyKm = [](int first) { return first <= 4 ? "25555" : "75555"; };
    const auto twentyKm = [&](int first) { return digit(2 * (first / 2) + 1) + "0000"; };
    switch (utmAjust) {
    case kSnap100m:
        ref = letters + Mid(full, 3, 3) + "49" + Mid(full, 8, 3) + "49";
        break;
    case kSnap1km:
        ref = letters + Mid(full, 3, 2) + "499" + Mid(full, 8, 2) + "499";
        break;
    case kSnap5km:
        ref = letters + digit(e1) + fiveKm(e2) + digit(n1) + fiveKm(n2);
        break;
    case kSnap10km:
        ref = letters + digit(e1) + "4999" + digit(n1) + "4999";
        break;
    case kSnap20km:
        ref = letters + twentyKm(e1) + twentyKm(n1);
        break;
    case kSnap50km:
        ref = letters + fiftyKm(e1) + fiftyKm(n1);
        break;
    case kSnap100km:
        ref = letters + "4999949999";
        break;
    default:
        ref = full;
        break;
    }
}

} // namespace geodesy
