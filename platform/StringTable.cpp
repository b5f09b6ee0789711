#include "platform/StringTable.h"

#include "platform/StringsData.h"

#include <QHash>
#include <QStringList>

namespace platform {

namespace {

int& LangueValue() {
    static int langue = kEnglish;
    return langue;
}

int OffsetOf(std::string_view language) {
    if (language == "fr") {
        return kFrench;
    }
    if (language == "en") {
        return kEnglish;
    }
    if (language == "de") {
        return kGerman;
    }
    if (language == "it") {
        return kItalian;
    }
    return kDutch;
}

QString Unescape(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[++i];
            switch (next.unicode()) {
            case 't':
                out += QLatin1Char('\t');
                break;
            case 'r':
                out += QLatin1Char('\r');
                break;
            case 'n':
                out += QLatin1Char('\n');
                break;
            default:
                out += next;
            }
        } else {
            out += text[i];
        }
    }
    return out;
}

const QHash<int, QString>& Table() {
    static const QHash<int, QString> table = [] {
        QHash<int, QString> entries;
        for (const auto& [language, content] : StringFiles()) {
            const int offset = OffsetOf(language);
            const QString text =
                QString::fromUtf8(content.data(), static_cast<qsizetype>(content.size()));
            for (const QString& line : text.split(QLatin1Char('\n'))) {
                if (const auto entry = ParseStringLine(line)) {
                    entries.insert(entry->first + offset, entry->second);
                }
            }
        }
        return entries;
    }();
    return table;
}

} // namespace

int Langue() {
    return LangueValue();
}

void SetLangue(int value) {
    switch (value) {
    case kFrench:
    case kEnglish:
    case kGerman:
    case kItalian:
    case kDutch:
        LangueValue() = value;
        break;
    default:
        LangueValue() = kEnglish;
    }
}

std::optional<std::pair<int, QString>> ParseStringLine(const QString& line) {
    QStringView view(line);
    if (view.endsWith(QLatin1Char('\r'))) {
        view.chop(1);
    }
    if (view.isEmpty() || view.startsWith(QLatin1Char('#'))) {
        return std::nullopt;
    }
    const qsizetype tab = view.indexOf(QLatin1Char('\t'));
    if (tab <= 0) {
        return std::nullopt;
    }
    bool ok = false;
    const int id = view.left(tab).toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return std::make_pair(id, Unescape(view.mid(tab + 1)));
}

std::optional<QString> StringEntry(int number) {
    const auto& table = Table();
    const auto it = table.constFind(number);
    if (it == table.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

QString InLangue(const LangueTexts& texts) {
    switch (Langue()) {
    case kFrench:
        return QString::fromUtf8(texts.french);
    case kGerman:
        return QString::fromUtf8(texts.german);
    case kItalian:
        return QString::fromUtf8(texts.italian);
    case kDutch:
        return QString::fromUtf8(texts.dutch);
    default:
        return QString::fromUtf8(texts.english);
    }
}

QString ResText(int id) {
    return StringEntry(id + Langue()).value_or(QString());
}

} // namespace platform
