#include "platform/ErrorPlace.h"

#include "platform/StringTable.h"

namespace platform {

namespace {

// The words of the details, one set per language; English where the language has none.
struct Words {
    const char* line;
    const char* field;
    const char* column;
    const char* wholeNumber; // %1 lowest, %2 highest
    const char* shortText;   // %1 longest
};

const Words& CurrentWords() {
    static const Words french{"Ligne %1", ", champ %1", "Colonne %1 : %2",
                              "un nombre entier de %1 à %2", "un texte de %1 caractère(s) au plus"};
    static const Words english{"Line %1", ", field %1", "Column %1: %2",
                               "a whole number from %1 to %2", "a text of at most %1 character(s)"};
    static const Words german{"Zeile %1", ", Feld %1", "Spalte %1: %2",
                              "eine ganze Zahl von %1 bis %2", "ein Text von höchstens %1 Zeichen"};
    static const Words italian{"Riga %1", ", campo %1", "Colonna %1: %2",
                               "un numero intero da %1 a %2",
                               "un testo di al massimo %1 carattere/i"};
    static const Words dutch{"Regel %1", ", veld %1", "Kolom %1: %2",
                             "een geheel getal van %1 tot %2",
                             "een tekst van hoogstens %1 teken(s)"};
    switch (Langue()) {
    case kFrench:
        return french;
    case kGerman:
        return german;
    case kItalian:
        return italian;
    case kDutch:
        return dutch;
    default:
        return english;
    }
}

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

} // namespace

QString LinePlace(qint64 line, const QString& field) {
    const Words& words = CurrentWords();
    QString place = Text(words.line).arg(line);
    if (!field.isEmpty()) {
        place += Text(words.field).arg(field);
    }
    return place;
}

QString WholeNumberColumn(const QString& column, qint64 lowest, qint64 highest) {
    const Words& words = CurrentWords();
    return Text(words.column).arg(column, Text(words.wholeNumber).arg(lowest).arg(highest));
}

QString ShortTextColumn(const QString& column, int longest) {
    const Words& words = CurrentWords();
    return Text(words.column).arg(column, Text(words.shortText).arg(longest));
}

QString WithDetail(const QString& text, const QString& detail) {
    return detail.isEmpty() ? text : text + QStringLiteral("\r\r") + detail;
}

} // namespace platform
