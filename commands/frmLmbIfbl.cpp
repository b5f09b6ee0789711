#include "commands/frmLmbIfbl.h"

#include "common/Numeric.h"
#include "geodesy/Ifbl.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace commands {

std::array<QString, 2> IfblCodeToLambertTexts(const QString& code) {
    std::string text = code.toStdString();
    double x = 0.0;
    double y = 0.0;
    std::int32_t status = 0;
    geodesy::IfblToLambert(text, x, y, status);
    return {QString::fromStdString(common::CStrDouble(x)),
            QString::fromStdString(common::CStrDouble(y))};
}

QString LambertTextsToIfblCode(const QString& x, const QString& y) {
    std::string code;
    std::int32_t status = 0;
    geodesy::LambertToIfbl(common::NumericValue(x.toStdString()),
                           common::NumericValue(y.toStdString()), code, status, 6);
    return QString::fromStdString(code);
}

frmLmbIfbl::frmLmbIfbl(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Transformations de coordonnées"));
    auto* layout = new QHBoxLayout(this);

    auto* ifbl = new QGroupBox(QStringLiteral("IFBL"), this);
    auto* ifblLayout = new QVBoxLayout(ifbl);
    txtIFBL = new QLineEdit(ifbl);
    ifblLayout->addWidget(txtIFBL);
    layout->addWidget(ifbl);

    auto* buttons = new QVBoxLayout;
    Command1[0] = new QPushButton(style()->standardIcon(QStyle::SP_ArrowRight), QString(), this);
    Command1[1] = new QPushButton(style()->standardIcon(QStyle::SP_ArrowLeft), QString(), this);
    for (int i = 0; i < 2; ++i) {
        buttons->addWidget(Command1[static_cast<std::size_t>(i)]);
        connect(Command1[static_cast<std::size_t>(i)], &QPushButton::clicked, this,
                [this, i] { Command1_Click(i); });
    }
    layout->addLayout(buttons);

    auto* lambert = new QGroupBox(QStringLiteral("Lambert"), this);
    auto* lambertLayout = new QVBoxLayout(lambert);
    for (QLineEdit*& box : txtLambert) {
        box = new QLineEdit(lambert);
        lambertLayout->addWidget(box);
    }
    layout->addWidget(lambert);
}

void frmLmbIfbl::Command1_Click(int index) {
    if (index == 0) {
        const std::array<QString, 2> xy = IfblCodeToLambertTexts(txtIFBL->text());
        txtLambert[0]->setText(xy[0]);
        txtLambert[1]->setText(xy[1]);
    } else {
        txtIFBL->setText(LambertTextsToIfblCode(txtLambert[0]->text(), txtLambert[1]->text()));
    }
}

} // namespace commands
