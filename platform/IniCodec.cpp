#include "platform/IniCodec.h"

#include <QStringDecoder>
#include <QStringList>

namespace platform {

namespace {

// The name with each code point case-folded, as QString::compare ignores case. Done here rather
// than by QString::toCaseFolded, which leaves a name that needs no change as it is but turns a
// lone surrogate into U+FFFD in one that does, so two spellings of one name would differ.
QString Folded(const QString& name) {
    QString folded;
    folded.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t code = name.at(i).unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < name.size() &&
            name.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(name.at(i), name.at(i + 1));
            ++i;
        }
        const char32_t folding = QChar::toCaseFolded(code);
        if (QChar::requiresSurrogates(folding)) {
            folded += QChar(QChar::highSurrogate(folding));
            folded += QChar(QChar::lowSurrogate(folding));
        } else {
            folded += QChar(static_cast<char16_t>(folding));
        }
    }
    return folded;
}

// UTF-8 text with a byte-order mark kept as the character it is: only the file's first one marks
// the encoding.
QString DecodeUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool IsLineSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

int HexValue(char16_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

int OctValue(char c) {
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// The escapes that stand for one character; 0 for any other letter.
char SimpleEscape(char code) {
    switch (code) {
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\':
        return code;
    default:
        return 0;
    }
}

// A section or key name: UTF-8 text in which "%XX" and "%UXXXX" give one UTF-16 code unit and "\"
// stands for the group separator "/". A "%" without its digits stays as it is.
QString UnescapedName(QByteArrayView bytes) {
    const QString decoded = DecodeUtf8(bytes);
    QString result;
    result.reserve(decoded.size());
    qsizetype i = 0;
    while (i < decoded.size()) {
        const QChar ch = decoded.at(i);
        if (ch == u'\\') {
            result += u'/';
            ++i;
            continue;
        }
        if (ch != u'%' || i + 1 >= decoded.size()) {
            result += ch;
            ++i;
            continue;
        }
        qsizetype first = i + 1;
        qsizetype digits = 2;
        if (decoded.at(first) == u'U') {
            ++first;
            digits = 4;
        }
        bool ok = first + digits <= decoded.size();
        char16_t code = 0;
        for (qsizetype d = first; ok && d < first + digits; ++d) {
            const int value = HexValue(decoded.at(d).unicode());
            ok = value >= 0;
            code = static_cast<char16_t>(code * 16 + value);
        }
        if (!ok) {
            result += u'%';
            ++i;
            continue;
        }
        result += QChar(code);
        i = first + digits;
    }
    return result;
}

void ChopTrailingBlanks(QString& text, qsizetype limit) {
    qsizetype size = text.size();
    while (size > limit && (text.at(size - 1) == u' ' || text.at(size - 1) == u'\t')) {
        --size;
    }
    text.truncate(size);
}

// A value as QSettings reads it: blanks around it dropped unless quoted, C-style escapes ("\n",
// "\x41", "\101"), quoted parts kept as written, unquoted commas separating list items.
class ValueReader {
public:
    explicit ValueReader(QByteArrayView bytes) : s_(bytes) {}

    QString read() {
        skipBlanks();
        if (readRuns()) {
            if (!quoted_) {
                ChopTrailingBlanks(current_, chopLimit_);
            }
        }
        if (!isList_) {
            return current_;
        }
        items_.append(current_);
        return items_.join(u',');
    }

    bool isList() const { return isList_; }

private:
    void skipBlanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) {
            ++i_;
        }
        chopLimit_ = current_.size();
    }

    // Returns false when the text ended inside an escape: no blanks are then dropped at the end.
    bool readRuns() {
        while (i_ < s_.size()) {
            const char ch = s_[i_];
            if (ch == '\\') {
                if (!readEscape()) {
                    return false;
                }
            } else if (ch == '"') {
                ++i_;
                quoted_ = true;
                inQuotes_ = !inQuotes_;
                if (!inQuotes_) {
                    skipBlanks();
                }
            } else if (ch == ',' && !inQuotes_) {
                if (!quoted_) {
                    ChopTrailingBlanks(current_, chopLimit_);
                }
                isList_ = true;
                items_.append(current_);
                current_.clear();
                quoted_ = false;
                ++i_;
                skipBlanks();
            } else {
                qsizetype end = i_ + 1;
                while (end < s_.size() && s_[end] != '\\' && s_[end] != '"' && s_[end] != ',') {
                    ++end;
                }
                current_ += DecodeUtf8(s_.sliced(i_, end - i_));
                i_ = end;
            }
        }
        return true;
    }

    bool readEscape() {
        ++i_;
        if (i_ >= s_.size()) {
            return false;
        }
        const char code = s_[i_++];
        if (const char simple = SimpleEscape(code)) {
            current_ += QLatin1Char(simple);
        } else if (code == 'x') {
            if (i_ >= s_.size()) {
                return false;
            }
            if (HexValue(static_cast<unsigned char>(s_[i_])) >= 0) {
                char16_t value = 0;
                while (i_ < s_.size() && HexValue(static_cast<unsigned char>(s_[i_])) >= 0) {
                    value = static_cast<char16_t>(value * 16 +
                                                  HexValue(static_cast<unsigned char>(s_[i_])));
                    ++i_;
                }
                current_ += QChar(value);
                if (i_ >= s_.size()) {
                    return false;
                }
            }
        } else if (OctValue(code) >= 0) {
            auto value = static_cast<char16_t>(OctValue(code));
            while (i_ < s_.size() && OctValue(s_[i_]) >= 0) {
                value = static_cast<char16_t>(value * 8 + OctValue(s_[i_]));
                ++i_;
            }
            current_ += QChar(value);
            if (i_ >= s_.size()) {
                return false;
            }
        } else if (code == '\n' || code == '\r') {
            // An escaped line end continues the value on the next line.
            if (i_ < s_.size() && (s_[i_] == '\n' || s_[i_] == '\r') && s_[i_] != code) {
                ++i_;
            }
        }
        // Any other escaped character is dropped.
        chopLimit_ = current_.size();
        return true;
    }

    QByteArrayView s_;
    qsizetype i_ = 0;
    QString current_;
    QStringList items_;
    qsizetype chopLimit_ = 0;
    bool isList_ = false;
    bool inQuotes_ = false;
    bool quoted_ = false;
};

bool StartsWithSpecial(const QString& text, QLatin1StringView prefix) {
    return text.startsWith(prefix) && text.endsWith(u')');
}

// The "@" forms QSettings gives typed values: "@@" escapes a text that begins with "@", "@String"
// holds a text with NUL characters, "@ByteArray" bytes; the other forms hold no text.
QString TextOfStoredValue(const QString& value) {
    if (!value.startsWith(u'@')) {
        return value;
    }
    if (StartsWithSpecial(value, QLatin1StringView("@String("))) {
        return value.sliced(8).chopped(1);
    }
    if (StartsWithSpecial(value, QLatin1StringView("@ByteArray("))) {
        return QString::fromUtf8(value.sliced(11).chopped(1).toLatin1());
    }
    for (const char* typed : {"@Variant(", "@DateTime(", "@Rect(", "@Size(", "@Point("}) {
        if (StartsWithSpecial(value, QLatin1StringView(typed))) {
            return {};
        }
    }
    if (value == QLatin1StringView("@Invalid()")) {
        return {};
    }
    if (value.startsWith(QLatin1StringView("@@"))) {
        return value.sliced(1);
    }
    return value;
}

// One logical line: from `pos` up to an unquoted line end or comment; an escaped line end and
// a quoted one belong to the line. Sets `equals` to the first unquoted "=", or -1.
qsizetype LineEnd(QByteArrayView data, qsizetype pos, qsizetype& equals) {
    bool inQuotes = false;
    equals = -1;
    while (pos < data.size()) {
        const char ch = data[pos];
        if (ch == '\\') {
            ++pos;
            if (pos < data.size()) {
                const char escaped = data[pos++];
                if (pos < data.size() && ((escaped == '\n' && data[pos] == '\r') ||
                                          (escaped == '\r' && data[pos] == '\n'))) {
                    ++pos;
                }
            }
            continue;
        }
        if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (!inQuotes && (ch == '\n' || ch == '\r' || ch == ';')) {
            break;
        } else if (ch == '=' && !inQuotes && equals < 0) {
            equals = pos;
        }
        ++pos;
    }
    return pos;
}

// The name of the section a "[...]" line opens: "" for "General", the rest of "%General".
QString SectionName(QByteArrayView line) {
    const qsizetype close = line.indexOf(']');
    const QByteArrayView inside = close < 0 ? line.sliced(1) : line.sliced(1, close - 1);
    const QByteArrayView name = inside.trimmed();
    if (name.compare(QByteArrayView("general"), Qt::CaseInsensitive) == 0) {
        return {};
    }
    if (name.compare(QByteArrayView("%general"), Qt::CaseInsensitive) == 0) {
        return QString::fromLatin1(name.sliced(1));
    }
    return UnescapedName(name);
}

bool IsPlainNameCharacter(char16_t ch) {
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           ch == '_' || ch == '-' || ch == '.';
}

const char kHexDigits[] = "0123456789ABCDEF";

// Letters, digits, "_", "-" and "." as they are, any other code unit as "%XX" or "%UXXXX". "/"
// too, which QSettings writes as "\": at the end of a key that would escape the "=" after it.
void AppendEscapedName(QByteArray& out, const QString& name) {
    for (const QChar qch : name) {
        const char16_t ch = qch.unicode();
        if (IsPlainNameCharacter(ch)) {
            out += static_cast<char>(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += kHexDigits[ch / 16];
            out += kHexDigits[ch % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out += kHexDigits[(ch >> shift) & 0xF];
            }
        }
    }
}

void AppendUtf8(QByteArray& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

void AppendHexEscape(QByteArray& out, char16_t ch) {
    out += "\\x";
    out += QByteArray::number(ch, 16);
}

// A value as QSettings writes a text: C-style escapes for control characters, quotes and
// backslashes, UTF-8 for the rest, and double quotes around it when it holds ";", "," or "=" or
// begins or ends with a blank. A UTF-16 code unit that UTF-8 cannot carry (a lone surrogate) and
// the byte-order mark are written as "\x" escapes so that they read back as they were.
void AppendEscapedValue(QByteArray& out, const QString& stored) {
    QString text = stored;
    if (text.contains(QChar::Null)) {
        text = QStringLiteral("@String(") + text + u')';
    } else if (text.startsWith(u'@')) {
        text.prepend(u'@');
    }
    const qsizetype start = out.size();
    bool needsQuotes = false;
    bool escapeNextHexDigit = false; // a digit after "\x.." or "\0" would join the escape
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch == ';' || ch == ',' || ch == '=') {
            needsQuotes = true;
        }
        if (escapeNextHexDigit && HexValue(ch) >= 0) {
            AppendHexEscape(out, ch);
            continue;
        }
        escapeNextHexDigit = false;
        switch (ch) {
        case 0:
            out += "\\0";
            escapeNextHexDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += static_cast<char>(ch);
            break;
        default:
            if (ch <= 0x1F) {
                AppendHexEscape(out, ch);
                escapeNextHexDigit = true;
            } else if (QChar::isHighSurrogate(ch) && i + 1 < text.size() &&
                       text.at(i + 1).isLowSurrogate()) {
                AppendUtf8(out, QChar::surrogateToUcs4(ch, text.at(i + 1).unicode()));
                ++i;
            } else if (QChar::isSurrogate(ch) || ch == 0xFEFF) {
                // Also a byte-order mark, which a reader may take for the start of a text.
                AppendHexEscape(out, ch);
                escapeNextHexDigit = true;
            } else {
                AppendUtf8(out, ch);
            }
        }
    }
    if (needsQuotes ||
        (out.size() > start && (out.at(start) == ' ' || out.at(out.size() - 1) == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

bool WithinBounds(const QString& text) {
    return text.size() <= kMaxIniValueLength;
}

} // namespace

void IniDocument::reindex(std::size_t section) {
    Index& index = indexes_[section];
    index.keys.clear();
    const auto& entries = sections_[section].entries;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        index.keys.insert(Folded(entries[i].key), i);
    }
}

const QString* IniDocument::value(const QString& section, const QString& key) const {
    const auto found = sectionIndex_.constFind(Folded(section));
    if (found == sectionIndex_.cend()) {
        return nullptr;
    }
    const Index& index = indexes_[*found];
    const auto entry = index.keys.constFind(Folded(key));
    if (entry == index.keys.cend()) {
        return nullptr;
    }
    return &sections_[*found].entries[*entry].value;
}

void IniDocument::set(const QString& section, const QString& key, const QString& value) {
    const QString foldedSection = Folded(section);
    auto found = sectionIndex_.constFind(foldedSection);
    if (found == sectionIndex_.cend()) {
        sections_.push_back(IniSection{section, {}});
        indexes_.emplace_back();
        found = sectionIndex_.insert(foldedSection, sections_.size() - 1);
    }
    const std::size_t at = *found;
    Index& index = indexes_[at];
    const QString foldedKey = Folded(key);
    const auto entry = index.keys.constFind(foldedKey);
    if (entry != index.keys.cend()) {
        sections_[at].entries[*entry].value = value;
        return;
    }
    sections_[at].entries.push_back(IniEntry{key, value});
    index.keys.insert(foldedKey, sections_[at].entries.size() - 1);
}

bool IniDocument::remove(const QString& section, const QString& key) {
    const auto found = sectionIndex_.constFind(Folded(section));
    if (found == sectionIndex_.cend()) {
        return false;
    }
    const std::size_t at = *found;
    const auto entry = indexes_[at].keys.constFind(Folded(key));
    if (entry == indexes_[at].keys.cend()) {
        return false;
    }
    auto& entries = sections_[at].entries;
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(*entry));
    if (entries.empty()) {
        return removeSection(section);
    }
    reindex(at);
    return true;
}

bool IniDocument::removeSection(const QString& section) {
    const auto found = sectionIndex_.constFind(Folded(section));
    if (found == sectionIndex_.cend()) {
        return false;
    }
    const auto at = static_cast<std::ptrdiff_t>(*found);
    sections_.erase(sections_.begin() + at);
    indexes_.erase(indexes_.begin() + at);
    sectionIndex_.clear();
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        sectionIndex_.insert(Folded(sections_[i].name), i);
    }
    return true;
}

IniDocument ParseIni(QByteArrayView bytes) {
    IniDocument document;
    if (bytes.size() > kMaxIniFileBytes) {
        return document;
    }
    if (bytes.startsWith(QByteArrayView("\xEF\xBB\xBF"))) {
        bytes = bytes.sliced(3);
    }
    QString section;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        while (pos < bytes.size() && IsLineSpace(bytes[pos])) {
            ++pos;
        }
        if (pos >= bytes.size()) {
            break;
        }
        if (bytes[pos] == ';') { // a comment, to the end of the line
            while (pos < bytes.size() && bytes[pos] != '\n' && bytes[pos] != '\r') {
                ++pos;
            }
            continue;
        }
        const qsizetype lineStart = pos;
        qsizetype equals = -1;
        const qsizetype end = LineEnd(bytes, lineStart, equals);
        pos = end;
        if (bytes[lineStart] == '[') {
            section = SectionName(bytes.sliced(lineStart, end - lineStart));
            continue;
        }
        if (equals < 0) {
            continue;
        }
        qsizetype keyEnd = equals;
        while (keyEnd > lineStart && (bytes[keyEnd - 1] == ' ' || bytes[keyEnd - 1] == '\t')) {
            --keyEnd;
        }
        const QString key = UnescapedName(bytes.sliced(lineStart, keyEnd - lineStart));
        if (key.isEmpty() || !WithinBounds(key) || !WithinBounds(section)) {
            continue;
        }
        ValueReader reader(bytes.sliced(equals + 1, end - equals - 1));
        QString value = reader.read();
        if (!reader.isList()) {
            value = TextOfStoredValue(value);
        }
        if (!WithinBounds(value)) {
            continue;
        }
        document.set(section, key, value);
    }
    return document;
}

QByteArray WriteIni(const IniDocument& document) {
    QByteArray out;
    bool first = true;
    for (const IniSection& section : document.sections()) {
        if (section.entries.empty()) {
            continue;
        }
        if (!first) {
            out += '\n';
        }
        first = false;
        if (section.name.isEmpty()) {
            out += "[General]";
        } else if (Folded(section.name) == QLatin1StringView("general")) {
            // "[General]" holds the keys outside any section; a section of that name is marked.
            out += "[%" + section.name.toLatin1() + ']';
        } else {
            out += '[';
            AppendEscapedName(out, section.name);
            out += ']';
        }
        out += '\n';
        for (const IniEntry& entry : section.entries) {
            AppendEscapedName(out, entry.key);
            out += '=';
            AppendEscapedValue(out, entry.value);
            out += '\n';
        }
    }
    return out;
}

} // namespace platform
