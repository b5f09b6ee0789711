#include "../support/ScriptedPrompter.h"
#include "ProgramWindows.h"
#include "app/Form1.h"
#include "app/Prefer.h"
#include "app/Start.h"
#include "cartography/frmCarte.h"
#include "cartography/frmCartesOptions.h"
#include "editor/EditForm.h"
#include "exchange/GarminImportWindow.h"
#include "exchange/ImportChooserWindow.h"
#include "gazetteer/frmGeoQuery.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace windows_test {

namespace {

template <typename T> T& As(QWidget& widget) {
    auto* typed = qobject_cast<T*>(&widget);
    if (typed == nullptr) {
        throw std::runtime_error(std::string("expected a ") + T::staticMetaObject.className() +
                                 ", found " + widget.metaObject()->className());
    }
    return *typed;
}

Step Trigger(QAction* (*item)(app::Form1&)) {
    return Opens([item](QWidget& main) { item(As<app::Form1>(main))->trigger(); });
}

Step Click(QAbstractButton* (*button)(QWidget&)) {
    return Opens([button](QWidget& window) { QTest::mouseClick(button(window), Qt::LeftButton); });
}

// The first push button of `window` whose text, without mnemonics, is `text`.
QPushButton* ButtonWithText(QWidget& window, const QString& text) {
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        if (ShownText(button->text()) == text) {
            return button;
        }
    }
    throw std::runtime_error("no button " + text.toStdString());
}

// Picks item `index` of a combo box with the keyboard, as a user does.
void PickWithKeys(QComboBox& combo, int index) {
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i) {
        QTest::keyClick(&combo, Qt::Key_Down);
    }
}

WindowRoad Road(std::string name, std::vector<Step> steps, std::vector<Check> own = {}) {
    return {std::move(name), std::move(steps), std::move(own)};
}

// The record editor from the main window's Edit button.
Step OpenEditor() {
    return Opens(
        [](QWidget& main) { QTest::mouseClick(As<app::Form1>(main).cmd[3], Qt::LeftButton); });
}

// The cartography window from View > Other.
Step OpenCartography() {
    return Trigger([](app::Form1& f) { return f.mnuVisOther; });
}

} // namespace

std::vector<WindowRoad> Catalogue() {
    using app::Form1;
    std::vector<WindowRoad> roads;
    roads.push_back(Road("main window", {}));

    // File menu.
    roads.push_back(Road("coordinate import", {Trigger([](Form1& f) { return f.mnuImport[0]; })}));
    roads.push_back(Road("coordinate import with its preview",
                         {Trigger([](Form1& f) { return f.mnuImport[0]; }), Acts([](QWidget& w) {
                              auto& chooser = As<exchange::frmImportation>(w);
                              testing_support::ScriptedPrompter prompter;
                              prompter.expect(testing_support::ChooseFile(
                                  QDir(QStringLiteral(DOVAZOV_FIXTURES))
                                      .filePath(QStringLiteral("windows/coordinates.txt"))));
                              QTest::mouseClick(chooser.cmdImportation(0), Qt::LeftButton);
                          })}));
    const auto waypoints = [] {
        return Opens([](QWidget& main) {
            testing_support::ScriptedPrompter prompter;
            prompter.expect(testing_support::ChooseFile(
                QDir(QStringLiteral(DOVAZOV_FIXTURES))
                    .filePath(QStringLiteral("windows/waypoints.txt"))));
            As<Form1>(main).mnuImportGarmin[0]->trigger();
        });
    };
    roads.push_back(Road("waypoint import", {waypoints()}));
    roads.push_back(Road("waypoint import options",
                         {waypoints(), Click([](QWidget& w) -> QAbstractButton* {
                              return As<exchange::frmImportGarmin>(w).cmdImportGarmin(2);
                          })}));
    roads.push_back(
        Road("export options", {Trigger([](Form1& f) { return f.MnuExpAsciiMode[0]; })}));

    // Edit menu.
    roads.push_back(Road("selection", {Trigger([](Form1& f) { return f.MnuSelection; })}));
    roads.push_back(Road("grid snapping", {Trigger([](Form1& f) { return f.mnuAjustGrid[0]; })}));

    // The record editor in each input system, and the windows it opens.
    for (int system = 0; system < 16; ++system) {
        roads.push_back(Road("record editor, input system " + std::to_string(system),
                             {OpenEditor(), Acts([system](QWidget& w) {
                                  PickWithKeys(*As<editor::EditForm>(w).cmbSystem, system);
                              })}));
    }
    roads.push_back(Road("record editor's datum chooser",
                         {OpenEditor(), Click([](QWidget& w) -> QAbstractButton* {
                              return As<editor::EditForm>(w).cmdChangeDatum;
                          })}));
    const auto gazetteer = [] {
        return Click(
            [](QWidget& w) -> QAbstractButton* { return As<editor::EditForm>(w).cmdSearch; });
    };
    roads.push_back(Road("gazetteer", {OpenEditor(), gazetteer()}));
    const auto setup = [] {
        return Click(
            [](QWidget& w) -> QAbstractButton* { return As<gazetteer::frmGeoQuery>(w).cmdSetup; });
    };
    roads.push_back(Road("gazetteer setup", {OpenEditor(), gazetteer(), setup()}));
    roads.push_back(
        Road("gazetteer fonts", {OpenEditor(), gazetteer(), setup(), Click([](QWidget& w) {
                                     return static_cast<QAbstractButton*>(
                                         ButtonWithText(w, QStringLiteral("Fonts")));
                                 })}));

    // View menu: the fourteen region maps and the cartography window with each of its maps.
    roads.push_back(Road("region map: world", {Trigger([](Form1& f) { return f.MnuVisMonde; })}));
    for (int i = 0; i < 8; ++i) {
        roads.push_back(Road("region map: Europe " + std::to_string(i), {Opens([i](QWidget& main) {
                                 As<Form1>(main).mnuEurope[static_cast<std::size_t>(i)]->trigger();
                             })}));
    }
    roads.push_back(
        Road("region map: Asia-Europe", {Trigger([](Form1& f) { return f.MnuVisAsiEur; })}));
    roads.push_back(Road("region map: Africa", {Trigger([](Form1& f) { return f.MnuVisAfrica; })}));
    roads.push_back(
        Road("region map: North America", {Trigger([](Form1& f) { return f.MnuVisNamer; })}));
    roads.push_back(
        Road("region map: South America", {Trigger([](Form1& f) { return f.MnuVisSamer; })}));
    roads.push_back(
        Road("region map: Asia-Oceania", {Trigger([](Form1& f) { return f.MnuVisAsiocea; })}));
    for (const char* map : {"world", "europe", "polar", "globe"}) {
        const QString file = QStringLiteral("carto/%1.dsw").arg(QLatin1String(map));
        roads.push_back(Road(std::string("cartography: ") + map,
                             {OpenCartography(), Acts([file](QWidget& w) {
                                  auto& carte = As<cartography::frmCarte>(w);
                                  testing_support::ScriptedPrompter prompter;
                                  prompter.expect(testing_support::ChooseFile(
                                      QDir(app::ProgramFolder()).filePath(file)));
                                  carte.mnuFichier[0]->trigger();
                              })},
                             {CheckWheelScrollsPicture}));
    }
    const auto layerOptions = [] {
        return Opens([](QWidget& w) { As<cartography::frmCarte>(w).mnuOptions[0]->trigger(); });
    };
    roads.push_back(Road("cartography options", {OpenCartography(), layerOptions()}));
    roads.push_back(
        Road("cartography options with a layer",
             {OpenCartography(), layerOptions(), Acts([](QWidget& w) {
                  auto& options = As<cartography::frmCartesOptions>(w);
                  testing_support::ScriptedPrompter prompter;
                  prompter.expect(testing_support::ChooseFile(
                      QDir(app::ProgramFolder()).filePath(QStringLiteral("carto/borders.zeb"))));
                  QTest::mouseClick(options.cmdZEB[0], Qt::LeftButton);
              })}));

    // Options menu.
    roads.push_back(Road("preferences", {Trigger([](Form1& f) { return f.MnuPreferences; })}));
    roads.push_back(Road(
        "preferences' datum chooser",
        {Trigger([](Form1& f) { return f.MnuPreferences; }),
         Click([](QWidget& w) -> QAbstractButton* { return As<app::Prefer>(w).cmdChangeDatum; })}));
    roads.push_back(Road("periods", {Trigger([](Form1& f) { return f.MnuOptionsPeriodes; })}));
    roads.push_back(
        Road("region map options", {Trigger([](Form1& f) { return f.MnuOptionsCartes; })}));

    // Help menu: the about box and its credits.
    const auto about = [] {
        return Acts([](QWidget& main) { As<Form1>(main).MnuInfo[1]->trigger(); });
    };
    roads.push_back(Road("about", {about()}));
    roads.push_back(Road("credits", {about(), Opens([](QWidget& w) {
                                         QTest::mouseClick(As<app::Start>(w).Label1,
                                                           Qt::LeftButton);
                                     })}));
    return roads;
}

std::vector<WindowRoad> QtDialogs() {
    using app::Form1;
    return {
        Road("degree cell size prompt", {Trigger([](Form1& f) { return f.mnuAjustGrid[1]; })}),
        Road("open file dialog", {Trigger([](Form1& f) { return f.MnuOuvrir; })}),
    };
}

} // namespace windows_test
