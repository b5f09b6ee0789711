#pragma once

#include <QStringView>
#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace document {

// The LIKE of the original engine, letters compared without regard to case: "*" any run of
// characters, "?" one character, "[abc]", "[a-z]" and "[!abc]" one character of a set or outside
// it. A "[" without its "]", or with nothing before it, stands for itself. The options add the
// wildcards the caller's dialect knows beside these.
struct LikeOptions {
    bool sqlWildcards = false;      // "%" any run of characters, "_" one character
    bool digitWildcard = false;     // "#" one digit
    std::optional<char32_t> escape; // makes the next character of the pattern literal

    bool operator==(const LikeOptions&) const = default;
};

// A pattern read once and tested on many texts; matching is linear for a pattern with one run
// of "*" and never exponential.
class LikePattern {
public:
    explicit LikePattern(QStringView pattern, LikeOptions options = {});

    bool matches(QStringView text) const;
    // The same on UTF-8, as the database hands its texts over; a malformed sequence counts as
    // one U+FFFD.
    bool matchesUtf8(std::string_view text) const;

    const LikeOptions& options() const { return options_; }

private:
    struct Token {
        enum class Kind { Any, One, Digit, Literal, Set } kind = Kind::Literal;
        char32_t ch = 0; // Literal, case folded
        bool negated = false;
        std::vector<std::pair<char32_t, char32_t>> ranges; // Set, case folded, bounds included

        bool matches(char32_t c) const; // c case folded
    };

    bool matchesFolded(const char32_t* text, std::size_t length) const;

    std::vector<Token> tokens_;
    LikeOptions options_;
    std::optional<char32_t> escape_; // options_.escape, case folded
};

} // namespace document
