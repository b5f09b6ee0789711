// The map's image saved as a Windows bitmap whatever the file's name, and printed to a PDF file at
// its screen size 50 twips from the corner of the page.

#include "cartography/ImageOutput.h"

#include "EpsFixture.h"
#include "platform/DialogFolders.h"

#include <QPainter>
#include <QPrinter>
#include <QtEndian>

namespace {

using eps_test::EpsTest;
using eps_test::ReadAll;
using testing_support::SaveAs;

// A picture the test can find again: red, with a blue block in its bottom-right quarter.
QImage TestPicture() {
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(Qt::red);
    QPainter painter(&picture);
    painter.fillRect(60, 40, 60, 40, Qt::blue);
    return picture;
}

// The pixel (x, y) of a bottom-up, uncompressed 24- or 32-bit Windows bitmap, read from its
// headers.
QColor BitmapPixel(const QByteArray& bmp, int x, int y) {
    const auto* data = reinterpret_cast<const uchar*>(bmp.constData());
    const auto offset = qFromLittleEndian<quint32>(data + 10);
    const auto height = qFromLittleEndian<qint32>(data + 22);
    const auto bits = qFromLittleEndian<quint16>(data + 28);
    const auto width = qFromLittleEndian<qint32>(data + 18);
    const int bytes = bits / 8;
    const int stride = (width * bytes + 3) / 4 * 4;
    const uchar* pixel = data + offset + (height - 1 - y) * stride + x * bytes;
    return QColor(pixel[2], pixel[1], pixel[0]);
}

TEST_F(EpsTest, BitmapIsWindowsBitmapWhateverTheExtension) {
    canvas.setPicture(TestPicture());
    const QString out = path(QStringLiteral("map.jpg"));
    prompter.expect(SaveAs(out));
    cartography::SauveImage(canvas);
    ASSERT_EQ(prompter.fileDialogs().size(), 1U);
    EXPECT_EQ(prompter.fileDialogs()[0].filter,
              QStringLiteral("Fichiers bitmap (*.bmp)|*.bmp|Tous les fichiers (*.*)|*.*"));
    EXPECT_EQ(prompter.fileDialogs()[0].folder, platform::DocumentsFolder());
    EXPECT_TRUE(prompter.messages().empty());

    const QByteArray bmp = ReadAll(out);
    ASSERT_GE(bmp.size(), 54);
    const auto* data = reinterpret_cast<const uchar*>(bmp.constData());
    EXPECT_TRUE(bmp.startsWith("BM"));
    EXPECT_EQ(qFromLittleEndian<quint32>(data + 2), static_cast<quint32>(bmp.size()));
    EXPECT_EQ(qFromLittleEndian<qint32>(data + 18), 120);
    EXPECT_EQ(qFromLittleEndian<qint32>(data + 22), 80);  // positive: rows bottom-up
    EXPECT_EQ(qFromLittleEndian<quint32>(data + 30), 0U); // no compression
    const auto bits = qFromLittleEndian<quint16>(data + 28);
    ASSERT_TRUE(bits == 24 || bits == 32) << bits;
    EXPECT_EQ(BitmapPixel(bmp, 10, 10), QColor(Qt::red));
    EXPECT_EQ(BitmapPixel(bmp, 100, 70), QColor(Qt::blue));
    EXPECT_EQ(BitmapPixel(bmp, 100, 10), QColor(Qt::red));
}

TEST_F(EpsTest, CancelledBitmapSaveWritesAndShowsNothing) {
    canvas.setPicture(TestPicture());
    prompter.expect(SaveAs(QString()));
    cartography::SauveImage(canvas);
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
}

TEST_F(EpsTest, UnwritableBitmapShowsTheError) {
    canvas.setPicture(TestPicture());
    prompter.expect(SaveAs(QStringLiteral("/nonexistent/folder/map.bmp")));
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    cartography::SauveImage(canvas);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith(QStringLiteral("Error 75\r")));
}

TEST_F(EpsTest, PrintoutPlacesTheImageAtItsScreenSize) {
    canvas.setPicture(TestPicture());
    const QString pdf = path(QStringLiteral("print.pdf"));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        cartography::PrintMap(canvas, printer);
    }
    EXPECT_TRUE(prompter.messages().empty());
    // Rendered by poppler at the screen's 96 dots per inch, the picture's pixels come back one for
    // one, 50 twips (3.3 pixels) in from the corner.
    const QString prefix = path(QStringLiteral("render"));
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("96"),
                                                       QStringLiteral("-singlefile"), pdf, prefix}),
        0);
    const QImage page(prefix + QStringLiteral(".ppm"));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(page.size(), QSize(794, 1123)); // A4 at 96 dpi
    const auto near = [&](int x, int y, QColor expected) {
        const QColor got = page.pixelColor(x, y);
        EXPECT_LE(std::abs(got.red() - expected.red()) + std::abs(got.green() - expected.green()) +
                      std::abs(got.blue() - expected.blue()),
                  24)
            << x << "," << y << " " << got.name().toStdString();
    };
    near(1, 1, Qt::white);
    near(5, 5, Qt::red);
    near(61, 41, Qt::red);
    near(66, 46, Qt::blue);
    near(121, 81, Qt::blue);
    near(126, 60, Qt::white);
    near(100, 86, Qt::white);
}

TEST_F(EpsTest, PrinterThatCannotStartShowsTheError) {
    canvas.setPicture(TestPicture());
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/nonexistent/folder/print.pdf"));
    prompter.expect(testing_support::AnswerWith(platform::Answer::Ok));
    cartography::PrintMap(canvas, printer);
    ASSERT_EQ(prompter.messages().size(), 1U);
    EXPECT_TRUE(prompter.messages()[0].text.startsWith(QStringLiteral("Error 482\r")));
}

} // namespace
