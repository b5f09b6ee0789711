#include "document/RecordLineBytes.h"

#include "document/DistributionFormat.h"
#include "platform/Windows1252.h"

#include <QString>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

namespace deg = document::deg;

std::string Encoded(const QString& text) {
    const QByteArray bytes = platform::EncodeWindows1252(text);
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

std::optional<QString> Decoded(std::optional<std::string_view> utf8) {
    if (!utf8) {
        return std::nullopt;
    }
    return QString::fromUtf8(utf8->data(), static_cast<qsizetype>(utf8->size()));
}

template <typename Append, typename Value> std::string Bytes(Append append, const Value& value) {
    std::string out = "x"; // appended to, never replaced
    append(out, value);
    return out.substr(1);
}

// The byte columns give what the text columns give, encoded, for positions of every kind.
TEST(RecordLineBytes, PositionsAsTheTextColumns) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<std::optional<float>> values{std::nullopt,
                                             0.0F,
                                             -0.0F,
                                             -0.000004F,
                                             0.000005F,
                                             -0.000005F,
                                             5.25F,
                                             -3.5F,
                                             50.85F,
                                             99.99999F,
                                             99.999995F,
                                             -99.999995F,
                                             100.0F,
                                             -100.0F,
                                             999.99999F,
                                             999.9999F,
                                             -999.9999F,
                                             1000.0F,
                                             -1000.0F,
                                             999.0F,
                                             1e10F,
                                             -1e30F,
                                             inf,
                                             -inf,
                                             std::numeric_limits<float>::quiet_NaN(),
                                             std::numeric_limits<float>::denorm_min()};
    std::mt19937 random(7);
    std::uniform_real_distribution<float> wide(-1100.0F, 1100.0F);
    for (int i = 0; i < 20000; ++i) {
        values.emplace_back(wide(random));
        values.emplace_back(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
    }
    for (const std::optional<float>& v : values) {
        SCOPED_TRACE(v ? std::to_string(*v) : "Null");
        EXPECT_EQ(Bytes(deg::AppendLatitude, v), Encoded(deg::LatitudeColumn(v)));
        EXPECT_EQ(Bytes(deg::AppendLongitude, v), Encoded(deg::LongitudeColumn(v)));
    }
}

TEST(RecordLineBytes, CountsAsTheTextColumnOrRefused) {
    std::vector<std::optional<std::int64_t>> counts{
        std::nullopt, 0, 1, 7, 120, 99999, 100000, -1, -9999, -10000, 2147483647, -2147483647};
    for (std::int64_t c = -10010; c <= 100010; c += 37) {
        counts.emplace_back(c);
    }
    for (const std::optional<std::int64_t>& count : counts) {
        SCOPED_TRACE(count ? std::to_string(*count) : "Null");
        std::string out;
        const bool fits = deg::AppendCount(out, count);
        const bool inRange = !count || (*count <= 99999 && *count >= -9999);
        EXPECT_EQ(fits, inRange);
        if (inRange) {
            EXPECT_EQ(out, Encoded(deg::CountColumn(count)));
        } else {
            EXPECT_EQ(out, "");
        }
    }
}

// Texts as the table may hold them: accents and the code page's own characters, characters it
// lacks, characters beyond the Basic Multilingual Plane (at the edge of a column too), controls,
// line breaks, a byte-order mark, and bytes that are no UTF-8 at all.
const std::vector<std::optional<std::string_view>>& Texts() {
    static const std::vector<std::optional<std::string_view>> texts{
        std::nullopt,
        "",
        "F",
        "EUR-M",
        "2001/__/__",
        "deg 50.85 4.35",
        "bng TQ 3080 and far too long for any column",
        "Prairie/Fauch\xC3\xA9"
        "e/haie",
        "\xE2\x82\xAC \xC5\x92uvre \xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x94 \xC3\xBF",
        "\xCE\xA9 \xE4\xB8\xAD \xEF\xBC\xA1",      // outside the code page
        "\xC2\x81\xC2\x9D\xC2\xA0",                // C1 controls, NBSP
        "\xF0\x9F\x90\x9D bee",                    // beyond the BMP
        "123456789\xF0\x9F\x90\x9D",               // split by a 10 column
        "1234\xF0\x9F\x90\x9D",                    // split by a 5 column
        "12345678901234567890123\xF0\x9F\x90\x9D", // split by a 24 column
        "\xEF\xBB\xBF"
        "bom",
        "\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xB7\x90", // non-characters
        "line\r\nbreak\rand\nmore\r\r\n\n\r",
        "\r\n",
        std::string_view("tab\tand\0nul", 11),
        "bad \xC3 byte",
        "bad \x80\xBF continuation",
        "overlong \xC0\xAF \xE0\x80\xAF",
        "surrogate \xED\xA0\x80\xED\xB0\x80",
        "cut \xE2\x82",
        "beyond \xF4\x90\x80\x80 \xF8\x88\x80\x80\x80",
        "\xFF\xFE",
    };
    return texts;
}

TEST(RecordLineBytes, TextColumnsAsTheTextColumns) {
    struct Column {
        int width;
        QString (*column)(const std::optional<QString>&);
    };
    const Column columns[] = {{deg::kDateWidth, deg::DateColumn},
                              {1, deg::SexColumn},
                              {deg::kDatumWidth, deg::DatumColumn},
                              {deg::kOriginalWidth, deg::OriginalColumn}};
    for (const std::optional<std::string_view>& text : Texts()) {
        SCOPED_TRACE(text ? std::string(*text) : "Null");
        for (const Column& c : columns) {
            std::string out = "x";
            deg::AppendFixedText(out, text, c.width);
            EXPECT_EQ(out.substr(1), Encoded(c.column(Decoded(text)))) << "width " << c.width;
        }
        std::string out = "x";
        deg::AppendComment(out, text);
        EXPECT_EQ(out.substr(1), Encoded(deg::CommentColumn(Decoded(text))));
    }
}

// The bytes themselves for a few texts, so that the comparison above is not with a column that
// went wrong the same way.
TEST(RecordLineBytes, WritesTheCodePage) {
    std::string out;
    deg::AppendComment(out, std::string_view("\xE2\x82\xAC\xC5\x92\xC3\xA9\xCE\xA9\r\nx\ny"));
    EXPECT_EQ(out, "\x80\x8C\xE9? x y");
    out.clear();
    deg::AppendFixedText(out, std::string_view("1234\xF0\x9F\x90\x9D"), 5);
    EXPECT_EQ(out, "1234?");
    out.clear();
    deg::AppendFixedText(out, std::string_view("\xF0\x9F\x90\x9D"), 5);
    EXPECT_EQ(out, "?   "); // the pair counts two characters
    out.clear();
    deg::AppendLatitude(out, -0.000004F);
    deg::AppendLongitude(out, -12.5F);
    EXPECT_EQ(out, " +0.00000 -12.50000");
}

} // namespace
