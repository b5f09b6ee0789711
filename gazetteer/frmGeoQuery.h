#pragma once

#include "gazetteer/GeoFonts.h"
#include "gazetteer/PlaceSearcher.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QString>
#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace gazetteer {

class PlaceListModel;

// What the gazetteer windows use of the main window: the datum chooser (preselected on a code;
// "" when cancelled) and the help page of the gazetteer setup.
struct GazetteerHost {
    std::function<QString(const QString&)> chooseDatum;
    std::function<void()> showHelp;
};

// The place search window: a name typed, an exact or prefix search in the gazetteer, the hits
// listed; Enter or a double click on a hit takes it over into the record editor. The window
// hides rather than closes, so it keeps its list, text and sort for its next showing.
class frmGeoQuery : public QDialog {
    Q_OBJECT
public:
    explicit frmGeoQuery(GazetteerHost host, QWidget* parent = nullptr);
    ~frmGeoQuery() override;

    // Shows the window modally; the place taken over, or nothing.
    std::optional<PickedPlace> choose();
    // Opens the gazetteer of the settings and reads its index in the background (see
    // PlaceSearcher::prepare), for a search to come.
    void prepareSearch();

    void cmd_Click(int index);
    void cmdSetup_Click();
    // Takes the selected row over; nothing without one.
    void ListView1_DblClick();
    void ListView1_ColumnClick(int column);
    // Draws the name of list row `row` in the font of its script region.
    void AfficheNom(int row);
    void setCaptions();

    QLineEdit* txt = nullptr;
    QPushButton* cmd[2] = {nullptr, nullptr};
    QPushButton* cmdSetup = nullptr;
    QLabel* lblNbre = nullptr;
    QTableView* ListView1 = nullptr;
    QLabel* PicName = nullptr;
    // The small icons of the designations, by key, drawn at their first use.
    QHash<QString, QIcon> ImageList1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // The gazetteer is opened and its index read while the user types.
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void saveGeometry() const;
    void fillList(PlaceHits hits);
    void errorPath(int number, const QString& description);

    GazetteerHost host_;
    PlaceSearcher searcher_;
    GeoFontTable fonts_;
    PlaceListModel* places_ = nullptr;
    std::optional<PickedPlace> picked_;
    bool ascending_ = true;
};

} // namespace gazetteer
