#include "gazetteer/frmGeoSetup.h"

#include "common/AppError.h"
#include "document/OutsideTables.h"
#include "gazetteer/GazetteerSource.h"
#include "gazetteer/GeoConfig.h"
#include "gazetteer/frmFonts.h"
#include "geodesy/DatumTables.h"
#include "platform/FileReplacement.h"
#include "platform/ProgramSettings.h"
#include "platform/Prompter.h"
#include "platform/StringTable.h"
#include "platform/WaitCursor.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <exception>
#include <optional>

namespace gazetteer {

namespace {

constexpr int kFipsSelector = 5;
constexpr int kFirstOptional = 5;
constexpr int kBgnEllipsoid = 21;

QString* FieldSetting(platform::ProgramSettings& s, int selector) {
    QString* const settings[] = {&s.ResearchField,  &s.FullNameField, &s.LatitudeField,
                                 &s.LongitudeField, &s.FipsField,     &s.ProvinceField,
                                 &s.FeatureField,   &s.CountryName,   &s.ProvinceName};
    return settings[selector - 1];
}

// The database type of a chosen file: by its first bytes, else by its name as the file dialog's
// types name it; empty for a database file (Access or SQLite), nothing for a file neither tells.
std::optional<QString> DbTypeOf(const QString& path) {
    switch (document::RecogniseTableFile(path)) {
    case document::TableFileKind::Access:
    case document::TableFileKind::Sqlite:
        return QString();
    case document::TableFileKind::Dbase:
        return kDbaseType;
    case document::TableFileKind::Paradox:
        return kParadoxType;
    case document::TableFileKind::Unknown:
        break;
    }
    const QString upper = path.toUpper();
    if (upper.contains(QLatin1String(".MDB"))) {
        return QString();
    }
    if (upper.contains(QLatin1String(".DBF"))) {
        return kDbaseType;
    }
    if (upper.contains(QLatin1String(".DB"))) {
        return kParadoxType;
    }
    return std::nullopt;
}

struct Failure {
    int number;
    QString description;
};

Failure FailureOf(const std::exception& error) {
    if (const auto* app = dynamic_cast<const common::AppError*>(&error)) {
        return {app->number(), QString::fromStdString(app->description())};
    }
    if (const auto* write = dynamic_cast<const platform::FileWriteError*>(&error)) {
        return {75, write->text()};
    }
    return {common::kDatabaseError, QString::fromUtf8(error.what())};
}

// The buttons' error handling: a beep, then the description and number.
void ButtonError(const std::exception& error) {
    platform::BeepUnlessSilent();
    const Failure failure = FailureOf(error);
    platform::MsgBox(failure.description + QStringLiteral("\n ") + QString::number(failure.number),
                     platform::Buttons::Ok, platform::Icon::Exclamation);
}

const QString kConfigFilter = QStringLiteral("*.cfg|*.cfg|*.*|*.*");

} // namespace

frmGeoSetup::frmGeoSetup(GazetteerHost host, QWidget* parent)
    : QDialog(parent), host_(std::move(host)) {
    setObjectName(QStringLiteral("frmGeoSetup"));
    setWindowTitle(QStringLiteral("Database setup"));
    const auto text = [](int id) { return platform::ResText(id); };
    lblFile = new QLabel(this);
    lblDbType = new QLabel(this);
    lblDatum = new QLabel(this);
    auto* form = new QFormLayout;
    auto* fileRow = new QHBoxLayout;
    Command1[0] = new QPushButton(text(793), this);
    fileRow->addWidget(lblFile, 1);
    fileRow->addWidget(lblDbType);
    fileRow->addWidget(Command1[0]);
    form->addRow(text(780), fileRow);
    const QString captions[10] = {text(781),
                                  text(782),
                                  text(783),
                                  text(784),
                                  text(785),
                                  text(786),
                                  text(787),
                                  text(788),
                                  QStringLiteral("Country Name"),
                                  QStringLiteral("Province Name")};
    for (int i = 0; i < 10; ++i) {
        cmb[static_cast<std::size_t>(i)] = new QComboBox(this);
        form->addRow(captions[i], cmb[static_cast<std::size_t>(i)]);
    }

    auto* sortBox = new QGroupBox(text(789), this);
    auto* sortLayout = new QHBoxLayout(sortBox);
    Option1[0] = new QRadioButton(text(790), sortBox);
    Option1[1] = new QRadioButton(text(786), sortBox);
    auto* coordBox = new QGroupBox(QStringLiteral("Coordinates format"), this);
    auto* coordLayout = new QHBoxLayout(coordBox);
    Option2[0] = new QRadioButton(text(791), coordBox);
    Option2[1] = new QRadioButton(text(792), coordBox);
    for (QRadioButton* option : {Option1[0], Option1[1]}) {
        sortLayout->addWidget(option);
    }
    for (QRadioButton* option : {Option2[0], Option2[1]}) {
        coordLayout->addWidget(option);
    }

    auto* datumRow = new QHBoxLayout;
    auto* cmdChangeDatum = new QPushButton(QStringLiteral("&Change"), this);
    datumRow->addWidget(new QLabel(QStringLiteral("datum:"), this));
    datumRow->addWidget(lblDatum, 1);
    datumRow->addWidget(cmdChangeDatum);

    Command1[1] = new QPushButton(text(794), this);
    Command1[2] = new QPushButton(text(795), this);
    Command1[3] = new QPushButton(text(796), this);
    Command1[4] = new QPushButton(text(797), this);
    auto* cmdFonts = new QPushButton(QStringLiteral("Fonts"), this);
    auto* cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    Command1[1]->setDefault(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button :
         {Command1[1], Command1[2], Command1[3], Command1[4], cmdFonts, cmdHelp}) {
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sortBox);
    layout->addWidget(coordBox);
    layout->addLayout(datumRow);
    layout->addLayout(buttons);

    connect(Command1[0], &QPushButton::clicked, this, [this] { cmdChangeFile_Click(); });
    connect(Command1[1], &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(Command1[2], &QPushButton::clicked, this, &QDialog::reject);
    connect(Command1[3], &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(Command1[4], &QPushButton::clicked, this, [this] { cmdOpen_Click(); });
    connect(cmdChangeDatum, &QPushButton::clicked, this, [this] { cmdChangeDatum_Click(); });
    connect(cmdFonts, &QPushButton::clicked, this, [this] { cmdFonts_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] {
        if (host_.showHelp) {
            host_.showHelp();
        }
    });
    connect(cmb[0], &QComboBox::activated, this, [this] { MapFieldGeo(); });
    connect(cmb[kFipsSelector], &QComboBox::activated, this, [this] { fipsFallback(); });
    for (QRadioButton* option : {Option1[0], Option1[1]}) {
        connect(option, &QRadioButton::clicked, this, [this] { fipsFallback(); });
    }

    const platform::ProgramSettings& s = platform::Settings();
    lblFile->setText(s.File);
    lblDatum->setText(s.LocalitiesDatum);
    if (s.CoordinatesType == 0) {
        Option2[0]->setChecked(true);
    } else if (s.CoordinatesType == 1) {
        Option2[1]->setChecked(true);
    }
    MapGeo();
    Option1[s.Sort == 1 ? 1 : 0]->setChecked(true);
    fipsFallback();
}

frmGeoSetup::~frmGeoSetup() = default;

void frmGeoSetup::fipsFallback() {
    if (cmb[kFipsSelector]->currentText().trimmed().isEmpty()) {
        Option1[0]->setChecked(true);
    }
}

void frmGeoSetup::MapGeo() {
    platform::ProgramSettings& s = platform::Settings();
    QString path = lblFile->text();
    if (path.isEmpty()) {
        return;
    }
    try {
        const platform::WaitCursor wait;
        const QFileInfo info(path);
        const std::optional<QString> type =
            info.isFile() ? DbTypeOf(path) : std::optional<QString>();
        const QString folderType = type.value_or(s.DbType);
        const bool missingFile = !info.exists() && (s.DbType.isEmpty() ||
                                                    path.toUpper().contains(QLatin1String(".MDB")));
        if ((type && type->isEmpty()) || missingFile) {
            source_ = std::make_unique<GazetteerSource>(path, QString());
            s.DbType.clear();
        } else if (folderType.toUpper() == kDbaseType.toUpper() ||
                   folderType.toUpper() == kParadoxType.toUpper()) {
            // A table file stands for the folder that holds it.
            const QString folderKind =
                folderType.toUpper() == kDbaseType.toUpper() ? kDbaseType : kParadoxType;
            if (info.isFile()) {
                path = info.absolutePath();
                lblFile->setText(path);
            }
            source_ = std::make_unique<GazetteerSource>(path, folderKind);
            s.DbType = folderKind;
        } else if (!source_) {
            throw common::AppError(kUnrecognizedFormat,
                                   QStringLiteral("'%1' is not a database the gazetteer can read.")
                                       .arg(path)
                                       .toStdString());
        }
        lblDbType->setText(s.DbType);
        cmb[0]->clear();
        for (const QString& table : source_->tables()) {
            cmb[0]->addItem(table, source_->isView(table) ? 1 : 0);
        }
        cmb[0]->setCurrentIndex(
            cmb[0]->findText(s.Table, Qt::MatchExactly | Qt::MatchCaseSensitive));
    } catch (const std::exception& error) {
        lblDbType->setText(s.DbType);
        const Failure failure = FailureOf(error);
        platform::MsgBox(failure.description + QStringLiteral("\n ") +
                             QString::number(failure.number),
                         platform::Buttons::Ok, platform::Icon::Critical, 1, QStringLiteral(" "));
        return;
    }
    MapFieldGeo();
}

void frmGeoSetup::MapFieldGeo() {
    for (int i = 1; i < 10; ++i) {
        cmb[static_cast<std::size_t>(i)]->clear();
        if (i >= kFirstOptional) {
            cmb[static_cast<std::size_t>(i)]->addItem(QString());
        }
    }
    if (cmb[0]->currentIndex() < 0 || !source_) {
        return;
    }
    try {
        const QStringList fields = source_->fields(cmb[0]->currentText());
        platform::ProgramSettings& s = platform::Settings();
        for (int i = 1; i < 10; ++i) {
            QComboBox* selector = cmb[static_cast<std::size_t>(i)];
            selector->addItems(fields);
            const QString& stored = *FieldSetting(s, i);
            selector->setCurrentIndex(
                stored.isEmpty() && i < kFirstOptional
                    ? -1
                    : selector->findText(stored, Qt::MatchExactly | Qt::MatchCaseSensitive));
        }
    } catch (const std::exception&) {
        // The selectors keep what was listed.
    }
    fipsFallback();
}

void frmGeoSetup::cmdChangeFile_Click() {
    try {
        platform::FileDialogRequest request;
        request.fileName = platform::Settings().File;
        request.filter = QStringLiteral("Access (*.mdb)|*.mdb|dBase IV (*.dbf)|*.dbf|"
                                        "Paradox 4.x (*.db)|*.db|SQLite (*.sqlite)|*.sqlite");
        const QString path = platform::CurrentPrompter().openFile(request);
        lblFile->setText(path);
        if (path.isEmpty()) {
            return;
        }
        if (const std::optional<QString> type = DbTypeOf(path)) {
            platform::Settings().DbType = *type;
        }
        MapGeo();
    } catch (const std::exception& error) {
        ButtonError(error);
    }
}

void frmGeoSetup::cmdOk_Click() {
    try {
        platform::ProgramSettings& s = platform::Settings();
        s.File = lblFile->text();
        s.Table = cmb[0]->currentText();
        if (s.Table.toUpper() == QLatin1String("BGNTABLE")) {
            geodesy::Datums().Ellipsoid = kBgnEllipsoid;
            geodesy::SelectDatum(geodesy::Datums().Wgs84Datum);
        }
        for (int i = 1; i < 10; ++i) {
            *FieldSetting(s, i) = cmb[static_cast<std::size_t>(i)]->currentText();
        }
        s.LocalitiesDatum = lblDatum->text();
        s.Sort = Option1[0]->isChecked() ? 0 : 1;
        s.CoordinatesType = Option2[0]->isChecked() ? 0 : 1;
        accept();
    } catch (const std::exception& error) {
        ButtonError(error);
    }
}

void frmGeoSetup::cmdChangeDatum_Click() {
    if (!host_.chooseDatum) {
        return;
    }
    const QString code = host_.chooseDatum(lblDatum->text().left(5).trimmed());
    if (code.isEmpty()) {
        return;
    }
    const geodesy::DatumState& datums = geodesy::Datums();
    for (int i = 1; i <= datums.datumCount(); ++i) {
        if (QString::fromStdString(datums.datum(i).Code) == code) {
            lblDatum->setText(code);
        }
    }
    platform::Settings().LocalitiesDatum = lblDatum->text();
}

void frmGeoSetup::cmdFonts_Click() {
    frmFonts fonts(this);
    fonts.exec();
}

GeoConfig frmGeoSetup::currentConfig() const {
    GeoConfig config;
    config.path = lblFile->text();
    config.dbType = platform::Settings().DbType;
    config.datum = lblDatum->text();
    config.table = cmb[0]->currentText();
    for (int i = 1; i < 10; ++i) {
        config.fields[static_cast<std::size_t>(i - 1)] =
            cmb[static_cast<std::size_t>(i)]->currentText();
    }
    config.flags = {Option1[0]->isChecked(), Option1[1]->isChecked(), Option2[0]->isChecked(),
                    Option2[1]->isChecked()};
    return config;
}

void frmGeoSetup::cmdSave_Click() {
    platform::FileDialogRequest request;
    request.filter = kConfigFilter;
    request.folder = QCoreApplication::applicationDirPath();
    request.confirmOverwrite = false;
    const QString path = platform::CurrentPrompter().saveFile(request);
    if (path.isEmpty()) {
        return;
    }
    saveConfiguration(QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".CFG") : path);
}

void frmGeoSetup::saveConfiguration(const QString& path) {
    try {
        if (QFileInfo::exists(path)) {
            platform::BeepUnlessSilent();
            if (platform::MsgBox(platform::ResText(500), platform::Buttons::YesNo,
                                 platform::Icon::Exclamation, 2) == platform::Answer::No) {
                return;
            }
        }
        platform::ReplaceFile(path, WriteConfig(currentConfig()));
    } catch (const std::exception& error) {
        ButtonError(error);
    }
}

void frmGeoSetup::cmdOpen_Click() {
    platform::FileDialogRequest request;
    request.filter = kConfigFilter;
    request.folder = QCoreApplication::applicationDirPath();
    const QString path = platform::CurrentPrompter().openFile(request);
    if (!path.isEmpty()) {
        openConfiguration(path);
    }
}

void frmGeoSetup::openConfiguration(const QString& path) {
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            throw common::AppError(common::kFileNotFound,
                                   QStringLiteral("Cannot open '%1'.").arg(path).toStdString());
        }
        GeoConfig config = ReadConfig(file.read(1 << 20));
        platform::ProgramSettings& s = platform::Settings();
        s.DbType = config.dbType;
        s.LocalitiesDatum = config.datum;
        while (config.dbType.isEmpty() && !QFileInfo::exists(config.path)) {
            platform::BeepUnlessSilent();
            platform::MsgBox(config.path + QLatin1Char(' ') + platform::ResText(766),
                             platform::Buttons::Ok, platform::Icon::Critical, 1,
                             QStringLiteral(" "));
            platform::FileDialogRequest request;
            request.fileName = QFileInfo(config.path).fileName().toLower();
            request.filter = QStringLiteral("*.*|*.*|*.mdb|*.mdb|*.dbf|*.dbf");
            const QString chosen = platform::CurrentPrompter().openFile(request);
            if (chosen.isEmpty()) {
                return;
            }
            config.path = chosen;
        }
        ApplyConfig(config, s);
        lblFile->setText(s.File);
        lblDatum->setText(s.LocalitiesDatum);
        const std::array<QRadioButton*, 4> options = {Option1[0], Option1[1], Option2[0],
                                                      Option2[1]};
        for (std::size_t i = 0; i < options.size(); ++i) {
            if (config.flags[i]) {
                options[i]->setChecked(true);
            }
        }
        MapGeo();
    } catch (const std::exception& error) {
        ButtonError(error);
    }
}

} // namespace gazetteer
