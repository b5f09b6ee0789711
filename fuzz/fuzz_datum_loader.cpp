// Arbitrary bytes as the datum database file: the loader either reads its tables or reports why
// it cannot, and what it keeps always fits the program's 16-bit datum and ellipsoid numbers and
// its bounded texts. A crash, a hang or a sanitizer report is a finding.
#include "document/DatumDatabase.h"
#include "fuzz/support/Check.h"
#include "geodesy/DatumTables.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

namespace {

// Acknowledges every report and cancels the search for another database, which a file without
// one readable datum asks for.
class AnsweringPrompter final : public platform::Prompter {
public:
    platform::Answer message(const platform::MessageRequest&) override {
        return platform::Answer::Ok;
    }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
    QString openFile(const platform::FileDialogRequest&) override {
        ++searches;
        return {};
    }
    QString saveFile(const platform::FileDialogRequest&) override { return {}; }
    void beep() override {}
    int searches = 0;
};

struct Setup {
    Setup() {
        platform::SetSettingsFolder(dir.filePath("settings"));
        platform::SetPrompter(&prompter);
        platform::SaveSetting(QStringLiteral("ZEB"), QStringLiteral("Datum"), QStringLiteral("DB"),
                              database);
    }
    QTemporaryDir dir;
    QString database = dir.filePath(QStringLiteral("DATUM.MDB"));
    AnsweringPrompter prompter;
};

// At most `limit` UTF-8 characters.
bool ShortEnough(const std::string& text, int limit) {
    int chars = 0;
    for (const char c : text) {
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return chars <= limit;
}

using fuzzsupport::Check;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Setup setup;
    {
        QFile file(setup.database);
        Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        Check(file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
              static_cast<qint64>(size));
    }
    geodesy::ResetDatumState();

    setup.prompter.searches = 0;
    const document::DatumLoad load = document::LoadDatums(setup.dir.path());

    // The program goes on only with datums: a load that ends without the datum table filled has
    // asked for another database, and the cancelled search ends the program.
    const geodesy::DatumState& state = geodesy::Datums();
    Check(load == document::DatumLoad::Quit
              ? setup.prompter.searches == 1 && !state.datumTableFilled
              : state.datumTableFilled && setup.prompter.searches == 0);
    Check(state.datumCount() >= 0 && state.datumCount() <= document::kMaxDatumRows);
    Check(state.ellipsoidCount() >= 0 && state.ellipsoidCount() <= document::kMaxDatumRows);
    for (int i = 1; i <= state.datumCount(); ++i) {
        const geodesy::DatumRec& datum = state.datum(i);
        Check(datum.Code.size() == 5 || datum.Code.empty()); // empty: a row the load never reached
        Check(ShortEnough(datum.Name, document::kMaxDatumNameLength));
        Check(ShortEnough(datum.Applic, document::kMaxDatumNameLength));
    }
    for (int j = 1; j <= state.ellipsoidCount(); ++j) {
        const geodesy::EllipsoidRec& ellipsoid = state.ellipsoid(j);
        Check(ellipsoid.ELLI.size() == 2 || ellipsoid.ELLI.empty());
        Check(ShortEnough(ellipsoid.ELLI_NAME, document::kMaxDatumNameLength));
    }
    return 0;
}
