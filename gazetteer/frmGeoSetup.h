#pragma once

#include "gazetteer/frmGeoQuery.h"

#include <QDialog>
#include <array>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace gazetteer {

class GazetteerSource;
struct GeoConfig;

// The gazetteer setup: the database, its table or view, the field of each role, the sort order,
// the coding and the datum of the coordinates. It opens the database read-only only to list its
// tables and fields; OK writes the choices into the gazetteer settings.
class frmGeoSetup : public QDialog {
    Q_OBJECT
public:
    explicit frmGeoSetup(GazetteerHost host, QWidget* parent = nullptr);
    ~frmGeoSetup() override;

    // Lists the tables of the database of lblFile and selects the stored table.
    void MapGeo();
    // Lists the fields of the chosen table and preselects the stored field names.
    void MapFieldGeo();

    void cmdChangeFile_Click(); // Command1 0
    void cmdOk_Click();         // Command1 1
    void cmdSave_Click();       // Command1 3
    void cmdOpen_Click();       // Command1 4
    void cmdChangeDatum_Click();
    void cmdFonts_Click();

    // Saving and reading a configuration file at a path already chosen.
    void saveConfiguration(const QString& path);
    void openConfiguration(const QString& path);

    QLabel* lblFile = nullptr;
    QLabel* lblDbType = nullptr;
    QLabel* lblDatum = nullptr;
    std::array<QComboBox*, 10> cmb{};
    std::array<QRadioButton*, 2> Option1{};
    std::array<QRadioButton*, 2> Option2{};
    std::array<QPushButton*, 5> Command1{};

private:
    void fipsFallback();
    GeoConfig currentConfig() const;

    GazetteerHost host_;
    std::unique_ptr<GazetteerSource> source_;
};

} // namespace gazetteer
