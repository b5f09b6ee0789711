// Start of the program: the string table and the datum database, then the main window.
#include "geodesy/DatumTables.h"
#include "platform/DatumDatabase.h"
#include "platform/Settings.h"
#include "platform/StringTable.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("DOVazov"));
    QApplication::setApplicationDisplayName(QStringLiteral("DOVazov"));

    const QString storedLanguage =
        platform::GetSetting(QStringLiteral("DOVAZOV"), QStringLiteral("Language"),
                             QStringLiteral("Language"), QString::number(platform::kEnglish));
    platform::SetLangue(storedLanguage.toInt());

    if (platform::LoadDatums(QApplication::applicationDirPath()) == platform::DatumLoad::Quit) {
        return 0;
    }

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("DOVazov"));
    window.resize(900, 600);
    window.show();
    return QApplication::exec();
}
