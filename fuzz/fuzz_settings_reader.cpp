// Arbitrary bytes as a settings file through the INI reader. Whatever it accepts stays within the
// bounds, is found again by name in any letter case, and survives our own writer unchanged: the
// text written reads back to the same sections, keys and values, and writes again to the same
// bytes. Any other outcome, a crash or a sanitizer report is a finding.
#include "fuzz/support/Check.h"
#include "platform/IniCodec.h"

#include <QByteArrayView>
#include <cstdint>

using fuzzsupport::Check;

namespace {

// The name in other letter case; ASCII only, as other scripts may change length or letters.
QString OtherCase(const QString& name) {
    QString other = name;
    for (QChar& ch : other) {
        if (ch.unicode() < 0x80) {
            ch = ch.isUpper() ? ch.toLower() : ch.toUpper();
        }
    }
    return other;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const platform::IniDocument document = platform::ParseIni(bytes);

    for (const platform::IniSection& section : document.sections()) {
        Check(!section.entries.empty());
        Check(section.name.size() <= platform::kMaxIniValueLength);
        for (const platform::IniEntry& entry : section.entries) {
            Check(!entry.key.isEmpty());
            Check(entry.key.size() <= platform::kMaxIniValueLength);
            Check(entry.value.size() <= platform::kMaxIniValueLength);
            const QString* found = document.value(OtherCase(section.name), OtherCase(entry.key));
            Check(found != nullptr && *found == entry.value);
        }
    }

    const QByteArray written = platform::WriteIni(document);
    const platform::IniDocument again = platform::ParseIni(written);
    Check(again == document);
    Check(platform::WriteIni(again) == written);
    return 0;
}
