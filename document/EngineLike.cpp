#include "document/EngineLike.h"

#include <QChar>
#include <algorithm>

namespace document {

namespace {

constexpr char32_t kReplacement = U'\uFFFD';

char32_t Folded(char32_t point) {
    if (point < 0x80) {
        return point >= U'A' && point <= U'Z' ? point + (U'a' - U'A') : point;
    }
    return static_cast<char32_t>(QChar::toCaseFolded(static_cast<uint>(point)));
}

// The texts of one thread are folded into the same buffer, which only grows: no allocation per
// row. Longer texts than kScratchKept get a buffer of their own, freed after, so that one huge
// text does not keep its memory for the rest of the run. Returns room for `length` code points.
constexpr std::size_t kScratchKept = std::size_t{1} << 16;

char32_t* Scratch(std::size_t length) {
    thread_local std::vector<char32_t> buffer;
    if (buffer.size() < length) {
        buffer.resize(length);
    }
    return buffer.data();
}

// Decodes UTF-16 into case-folded code points at `out`, room for text.size() of them; a lone
// surrogate gives U+FFFD. Returns how many.
std::size_t FoldUtf16(QStringView text, char32_t* out) {
    const qsizetype n = text.size();
    const char16_t* units = text.utf16();
    char32_t* next = out;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t unit = units[i];
        if (unit < 0x80) {
            *next++ = unit >= u'A' && unit <= u'Z' ? unit + (u'a' - u'A') : unit;
        } else if (!QChar::isSurrogate(unit)) {
            *next++ = Folded(unit);
        } else if (QChar::isHighSurrogate(unit) && i + 1 < n &&
                   QChar::isLowSurrogate(units[i + 1])) {
            *next++ = Folded(QChar::surrogateToUcs4(unit, units[i + 1]));
            ++i;
        } else {
            *next++ = kReplacement;
        }
    }
    return static_cast<std::size_t>(next - out);
}

// Decodes UTF-8 into case-folded code points at `out`, room for bytes.size() of them; a malformed
// sequence gives U+FFFD. Returns how many.
std::size_t FoldUtf8(std::string_view bytes, char32_t* out) {
    const auto* text = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t length = bytes.size();
    char32_t* next = out;
    std::size_t i = 0;
    while (i < length) {
        const unsigned char lead = text[i];
        if (lead < 0x80) {
            *next++ = lead >= 'A' && lead <= 'Z' ? lead + ('a' - 'A') : lead;
            ++i;
            continue;
        }
        const int extra = lead >= 0xF8   ? -1
                          : lead >= 0xF0 ? 3
                          : lead >= 0xE0 ? 2
                          : lead >= 0xC0 ? 1
                                         : -1;
        char32_t point = extra == 3 ? lead & 0x07U : extra == 2 ? lead & 0x0FU : lead & 0x1FU;
        bool valid = extra > 0;
        for (int k = 1; valid && k <= extra; ++k) {
            if (i + k >= length || (text[i + k] & 0xC0U) != 0x80U) {
                valid = false;
            } else {
                point = (point << 6) | (text[i + k] & 0x3FU);
            }
        }
        if (!valid) {
            *next++ = kReplacement;
            ++i;
            continue;
        }
        *next++ = Folded(point);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return static_cast<std::size_t>(next - out);
}

// The position of the "]" that closes a set opened at `open`, or nothing when there is none or
// the set would be empty (then the "[" is an ordinary character).
std::optional<std::size_t> SetEnd(const std::vector<char32_t>& p, std::size_t open) {
    std::size_t first = open + 1;
    if (first < p.size() && p[first] == U'!') {
        ++first;
    }
    for (std::size_t j = first; j < p.size(); ++j) {
        if (p[j] == U']') {
            return j == first ? std::nullopt : std::optional<std::size_t>(j);
        }
    }
    return std::nullopt;
}

} // namespace

bool LikePattern::Token::matches(char32_t c) const {
    switch (kind) {
    case Kind::One:
        return true;
    case Kind::Digit:
        return c >= U'0' && c <= U'9';
    case Kind::Literal:
        return ch == c;
    case Kind::Set: {
        const bool inside = std::any_of(ranges.begin(), ranges.end(), [c](const auto& r) {
            return c >= r.first && c <= r.second;
        });
        return inside != negated;
    }
    case Kind::Any:
        break;
    }
    return false;
}

LikePattern::LikePattern(QStringView pattern, LikeOptions options) : options_(options) {
    if (options_.escape) {
        escape_ = Folded(*options_.escape);
    }
    std::vector<char32_t> p(static_cast<std::size_t>(pattern.size()));
    p.resize(FoldUtf16(pattern, p.data()));
    const auto add = [this](Token::Kind kind, char32_t ch = 0) {
        Token token;
        token.kind = kind;
        token.ch = ch;
        tokens_.push_back(std::move(token));
    };
    for (std::size_t i = 0; i < p.size(); ++i) {
        const char32_t c = p[i];
        if (escape_ && c == *escape_) {
            add(Token::Kind::Literal, i + 1 < p.size() ? p[++i] : c);
        } else if (c == U'*' || (options_.sqlWildcards && c == U'%')) {
            if (tokens_.empty() || tokens_.back().kind != Token::Kind::Any) {
                add(Token::Kind::Any);
            }
        } else if (c == U'?' || (options_.sqlWildcards && c == U'_')) {
            add(Token::Kind::One);
        } else if (options_.digitWildcard && c == U'#') {
            add(Token::Kind::Digit);
        } else if (const auto close = c == U'[' ? SetEnd(p, i) : std::nullopt) {
            Token set;
            set.kind = Token::Kind::Set;
            std::size_t k = i + 1;
            if (p[k] == U'!') {
                set.negated = true;
                ++k;
            }
            while (k < *close) {
                if (k + 2 < *close && p[k + 1] == U'-') {
                    set.ranges.emplace_back(std::min(p[k], p[k + 2]), std::max(p[k], p[k + 2]));
                    k += 3;
                } else {
                    set.ranges.emplace_back(p[k], p[k]);
                    ++k;
                }
            }
            tokens_.push_back(std::move(set));
            i = *close;
        } else {
            add(Token::Kind::Literal, c);
        }
    }
}

bool LikePattern::matches(QStringView text) const {
    const auto length = static_cast<std::size_t>(text.size());
    if (length > kScratchKept) {
        std::vector<char32_t> own(length);
        return matchesFolded(own.data(), FoldUtf16(text, own.data()));
    }
    char32_t* folded = Scratch(length);
    return matchesFolded(folded, FoldUtf16(text, folded));
}

bool LikePattern::matchesUtf8(std::string_view text) const {
    if (text.size() > kScratchKept) {
        std::vector<char32_t> own(text.size());
        return matchesFolded(own.data(), FoldUtf8(text, own.data()));
    }
    char32_t* folded = Scratch(text.size());
    return matchesFolded(folded, FoldUtf8(text, folded));
}

// Greedy match with a return to the last "any run" on a mismatch. A run followed by a literal
// goes straight to the next place of that literal: "*text*" costs one pass over most texts.
bool LikePattern::matchesFolded(const char32_t* text, std::size_t length) const {
    const Token* const tokens = tokens_.data();
    const std::size_t end = tokens_.size();
    constexpr std::size_t kNoStar = static_cast<std::size_t>(-1);
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starToken = kNoStar;
    std::size_t starText = 0;
    // Moves starText to the first place where the token after the run can match.
    const auto nextStart = [&]() {
        if (p < end && tokens[p].kind == Token::Kind::Literal) {
            const char32_t wanted = tokens[p].ch;
            while (starText < length && text[starText] != wanted) {
                ++starText;
            }
        }
        t = starText;
    };
    while (t < length) {
        if (p < end) {
            const Token& token = tokens[p];
            if (token.kind == Token::Kind::Any) {
                starToken = p++;
                starText = t;
                nextStart();
                continue;
            }
            // Literals first: they are most of any pattern.
            if (token.kind == Token::Kind::Literal ? token.ch == text[t] : token.matches(text[t])) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starToken == kNoStar) {
            return false;
        }
        p = starToken + 1;
        ++starText;
        nextStart();
    }
    while (p < end && tokens[p].kind == Token::Kind::Any) {
        ++p;
    }
    return p == end;
}

} // namespace document
