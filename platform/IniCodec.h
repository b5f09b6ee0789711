#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <vector>

namespace platform {

// Bounds of what the settings store takes from a file: a larger file, or a longer value or name,
// is ignored as if it were absent, so that a damaged or hostile file costs no more than this.
inline constexpr qsizetype kMaxIniFileBytes = 1024 * 1024;
inline constexpr qsizetype kMaxIniValueLength = 4096;

struct IniEntry {
    QString key;
    QString value;
    bool operator==(const IniEntry&) const = default;
};

// One section of an INI file; the empty name stands for the keys outside any section.
struct IniSection {
    QString name;
    std::vector<IniEntry> entries;
    bool operator==(const IniSection&) const = default;
};

// The sections, keys and values of one INI file in file order. Section and key names are matched
// without regard to case; the first spelling met is kept.
class IniDocument {
public:
    const std::vector<IniSection>& sections() const { return sections_; }

    // The value of `key` in `section`, or nullptr.
    const QString* value(const QString& section, const QString& key) const;
    // Adds the key at the end of its section (the section at the end of the file) or replaces
    // its value in place.
    void set(const QString& section, const QString& key, const QString& value);
    // Both return true when something was removed; a section left without keys goes too.
    bool remove(const QString& section, const QString& key);
    bool removeSection(const QString& section);

    bool operator==(const IniDocument& other) const { return sections_ == other.sections_; }

private:
    struct Index {
        QHash<QString, std::size_t> keys; // folded key name -> position in entries
    };
    void reindex(std::size_t section);

    std::vector<IniSection> sections_;
    std::vector<Index> indexes_;               // parallel to sections_
    QHash<QString, std::size_t> sectionIndex_; // folded section name -> position
};

// Reads INI bytes as QSettings' IniFormat writes them (quoted and escaped values, %-escaped
// names, "[General]" for keys outside a section and "[%General]" for a section of that name) and
// as people edit them (";" comments, blank lines, CR or LF line ends, a UTF-8 byte-order mark).
// A value that QSettings would read as a list reads as the text of its items joined by ",".
// Lines that are neither a section nor a key, keys with an empty name, and values or names longer
// than kMaxIniValueLength are skipped; input longer than kMaxIniFileBytes gives an empty document.
// A key repeated within a section keeps its last value.
IniDocument ParseIni(QByteArrayView bytes);

// The INI text of `document` in the form QSettings writes, which both QSettings and ParseIni read
// back to the same values ("/" in a name is written "%2F", lone surrogates and byte-order marks
// as "\x" escapes, so that every document ParseIni gives reads back exactly). Sections without
// keys are left out.
QByteArray WriteIni(const IniDocument& document);

} // namespace platform
