#include "app/frmEastern.h"

#include "../support/ScriptedPrompter.h"
#include "app/Utilities.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

using app::frmEastern;

void Send(QWidget* widget, QEvent::Type type, Qt::MouseButton button = Qt::NoButton) {
    const QPointF local(2, 2);
    QMouseEvent event(type, local, widget->mapToGlobal(local), button,
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(CreditsWindow, OpensCentredWithItsTexts) {
    frmEastern window;
    EXPECT_EQ(window.windowTitle(), "Auteurs");
    EXPECT_TRUE(window.isModal());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(window.x() + window.width() / 2.0, screen.x() + screen.width() / 2.0, 1.0);
    EXPECT_NEAR(window.y() + window.height() / 2.0, screen.y() + screen.height() / 2.0, 1.0);
    EXPECT_FALSE(window.lblName[0]->text().isEmpty());
    EXPECT_FALSE(window.lblName[1]->toolTip().isEmpty());
    EXPECT_TRUE(window.Label3->text().startsWith("https://"));
    EXPECT_EQ(window.Label2->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(window.Label2->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_EQ(window.Label3->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_FALSE(window.Picture2->isVisibleTo(&window));
}

TEST(CreditsWindow, TheLinkUnderlinesUnderThePointer) {
    frmEastern window;
    window.show();
    Send(window.Label3, QEvent::MouseMove);
    EXPECT_TRUE(window.linkUnderlined());
    Send(window.Label1, QEvent::MouseMove);
    Send(window.lblName[0], QEvent::MouseMove);
    EXPECT_TRUE(window.linkUnderlined());
    Send(window.Label2, QEvent::MouseMove);
    EXPECT_FALSE(window.linkUnderlined());
    Send(window.Label3, QEvent::MouseMove);
    Send(&window, QEvent::MouseMove);
    EXPECT_FALSE(window.linkUnderlined());
}

TEST(CreditsWindow, AnyButtonOnTheLinkOpensIt) {
    frmEastern window;
    QStringList opened;
    window.openLink = [&opened](const QString& target) { opened << target; };
    Send(window.Label3, QEvent::MouseButtonPress, Qt::RightButton);
    Send(window.Label3, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_EQ(opened, QStringList({window.Label3->text(), window.Label3->text()}));
}

TEST(CreditsWindow, ALinkThatCannotOpenIsReportedAndTheWindowStays) {
    frmEastern window;
    window.show();
    window.openLink = [](const QString& target) {
        app::OpenDocumentWith(target, [](const QUrl&) { return false; });
    };
    testing_support::ScriptedPrompter prompter;
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    window.Label3_MouseDown(Qt::LeftButton);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_EQ(prompter.messages()[0].text,
              "Il n'y a pas d'association pour ce type de fichier\r\r" + window.Label3->text());
    EXPECT_TRUE(window.isVisible());
}

TEST(CreditsWindow, TheFirstPictureSwapsWithTheThird) {
    frmEastern window;
    window.show();
    const QPoint place = window.Picture1[0]->pos();
    const QPoint second = window.Picture1[1]->pos();
    Send(window.Picture1[0], QEvent::MouseButtonRelease, Qt::LeftButton);
    window.layout()->activate();
    EXPECT_EQ(window.Picture1[1]->pos(), second); // the hidden picture keeps its place
    EXPECT_FALSE(window.Picture1[0]->isVisible());
    EXPECT_TRUE(window.Picture2->isVisible());
    EXPECT_EQ(window.Picture2->pos(), place);
    EXPECT_EQ(window.Picture2->size(), window.Picture1[0]->size());

    window.Picture1_Click(1); // the other picture does nothing
    EXPECT_TRUE(window.Picture2->isVisible());
    EXPECT_TRUE(window.Picture1[1]->isVisible());

    Send(window.Picture2, QEvent::MouseButtonRelease, Qt::LeftButton);
    EXPECT_TRUE(window.Picture1[0]->isVisible());
    EXPECT_FALSE(window.Picture2->isVisible());
    EXPECT_EQ(window.Picture1[0]->pos(), place);
}

} // namespace
