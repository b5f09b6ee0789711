#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QLabel;

namespace app {

// The credits window: a heading, two credit lines with tooltips, a credits text, a link that
// opens in the desktop's browser and three small pictures; the first picture swaps with the third
// when clicked. It has no buttons: the close box closes it.
class frmEastern : public QDialog {
    Q_OBJECT

public:
    explicit frmEastern(QWidget* parent = nullptr);

    std::array<QLabel*, 2> lblName{};
    QLabel* Label1 = nullptr; // heading
    QLabel* Label2 = nullptr; // credits text
    QLabel* Label3 = nullptr; // link: its caption is the address it opens
    std::array<QLabel*, 2> Picture1{};
    QLabel* Picture2 = nullptr; // shown in the place of Picture1(0) while swapped

    // How the link is opened; OpenDocument unless a test sets another.
    std::function<void(const QString&)> openLink;

    // The pointer over the link underlines it; over the background or the credits text it
    // removes the underline. The heading and the name labels leave it as it is.
    void Label3_MouseMove();
    void Label2_MouseMove();
    void Form_MouseMove();
    // Any mouse button on the link opens it.
    void Label3_MouseDown(Qt::MouseButton button);
    void Picture1_Click(int index);
    void Picture2_Click();

    bool linkUnderlined() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void setLinkUnderline(bool underline);
};

} // namespace app
