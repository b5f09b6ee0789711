#include "gazetteer/frmFonts.h"

#include "gazetteer/GeoFonts.h"

#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gazetteer {

frmFonts::frmFonts(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFonts"));
    setWindowTitle(QStringLiteral("Fonts"));
    auto* frame = new QGroupBox(QStringLiteral("Fonts"), this);
    auto* grid = new QGridLayout(frame);
    const GeoFontTable fonts = LoadGeoFonts();
    for (int i = 0; i < 6; ++i) {
        const auto index = static_cast<std::size_t>(i);
        lblFont[index] = new QLabel(fonts[index].Name, frame);
        lblSize[index] = new QLabel(QString::number(fonts[index].Size), frame);
        auto* open = new QPushButton(QStringLiteral("..."), frame);
        grid->addWidget(new QLabel(RegionCaption(i), frame), i, 0);
        grid->addWidget(lblFont[index], i, 1);
        grid->addWidget(lblSize[index], i, 2);
        grid->addWidget(open, i, 3);
        connect(open, &QPushButton::clicked, this, [this, i] { cmdOpen_Click(i); });
    }
    auto* ok = new QPushButton(QStringLiteral("&Ok"), this);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);
}

void frmFonts::cmdOpen_Click(int index) {
    const auto i = static_cast<std::size_t>(index);
    QFont initial(lblFont[i]->text());
    initial.setPointSizeF(std::max(1.0, lblSize[i]->text().toDouble()));
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, this);
    if (!ok) {
        return;
    }
    lblFont[i]->setText(chosen.family());
    lblSize[i]->setText(QString::number(chosen.pointSizeF()));
}

void frmFonts::cmdOk_Click() {
    std::array<QString, 6> names;
    std::array<QString, 6> sizes;
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = lblFont[i]->text();
        sizes[i] = lblSize[i]->text();
    }
    SaveGeoFonts(names, sizes);
    accept();
}

} // namespace gazetteer
