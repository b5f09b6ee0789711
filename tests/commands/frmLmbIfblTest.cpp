#include "commands/frmLmbIfbl.h"

#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

// The worked example of the grid: x 150,000, y 170,000 lies in E43522, whose centre is
// x 149,512, y 169,680; a block code gives its block's centre.
TEST(frmLmbIfblTest, ConvertsBothWays) {
    commands::frmLmbIfbl dialog;
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Transformations de coordonnées"));
    dialog.txtLambert[0]->setText("150000");
    dialog.txtLambert[1]->setText("170000");
    dialog.Command1[1]->click();
    EXPECT_EQ(dialog.txtIFBL->text(), "E43522");
    dialog.Command1[0]->click();
    EXPECT_EQ(dialog.txtLambert[0]->text(), "149512");
    EXPECT_EQ(dialog.txtLambert[1]->text(), "169680");
    dialog.txtIFBL->setText(" e5 ");
    dialog.Command1[0]->click();
    EXPECT_EQ(dialog.txtLambert[0]->text(), "178012");
    EXPECT_EQ(dialog.txtLambert[1]->text(), "168180");
}

TEST(frmLmbIfblTest, RefusedInputsGiveTheValuesOfAFreshCall) {
    commands::frmLmbIfbl dialog;
    dialog.txtIFBL->setText("I5");
    dialog.Command1[0]->click();
    EXPECT_EQ(dialog.txtLambert[0]->text(), "0");
    EXPECT_EQ(dialog.txtLambert[1]->text(), "0");
    dialog.txtLambert[0]->setText("400000");
    dialog.txtLambert[1]->setText("abc");
    dialog.Command1[1]->click();
    EXPECT_EQ(dialog.txtIFBL->text(), "");
}

} // namespace
