// A picture prints at its natural size from the printable area's corner, cut where the page ends.
#include "platform/printerservice.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace orv;

namespace {

class PrinterServiceTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QtPrinterService service;

    // The printed page as pdftoppm draws it at 96 DPI.
    QImage printed(const QString& pdf)
    {
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        EXPECT_FALSE(pdftoppm.isEmpty()) << "pdftoppm (poppler-utils) is needed";
        const QString png = dir.filePath(QStringLiteral("page"));
        QProcess p;
        p.start(pdftoppm, {QStringLiteral("-r"), QStringLiteral("96"), QStringLiteral("-png"),
                           QStringLiteral("-singlefile"), pdf, png});
        EXPECT_TRUE(p.waitForFinished(30000));
        return QImage(png + QStringLiteral(".png"));
    }
    // Where the printable area starts on a page of the default PDF set-up, at 96 DPI.
    static QPoint origin()
    {
        QPrinter ref(QPrinter::HighResolution);
        ref.setOutputFormat(QPrinter::PdfFormat);
        return ref.pageLayout().paintRectPixels(96).topLeft();
    }
    // Answers the next modal dialog; gives up after a while so nothing hangs.
    static void answerDialog(std::function<void(QDialog*)> answer)
    {
        auto* timer = new QTimer;
        const QDeadlineTimer deadline(20000);
        QObject::connect(timer, &QTimer::timeout, [timer, deadline, answer] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog && !deadline.hasExpired())
                return;
            timer->deleteLater();
            if (dialog)
                answer(dialog);
        });
        timer->start(20);
    }
};

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 40 && std::abs(qGreen(a) - qGreen(b)) < 40 && std::abs(qBlue(a) - qBlue(b)) < 40;
}

QImage quadrants(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.fillRect(0, 0, w / 2, h / 2, Qt::red);
    p.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::green);
    p.fillRect(0, h / 2, w / 2, h - h / 2, Qt::blue);
    p.fillRect(w / 2, h / 2, w - w / 2, h - h / 2, Qt::black);
    return img;
}

TEST_F(PrinterServiceTest, NaturalSizeAtThePrintableOrigin)
{
    const QString pdf = dir.filePath(QStringLiteral("p.pdf"));
    service.setOutputFile(pdf);
    service.printPicture(quadrants(300, 200), 96, 96);
    const QImage page = printed(pdf);
    ASSERT_FALSE(page.isNull());
    const QPoint o = origin();
    const auto at = [&](int x, int y) { return page.pixel(o.x() + x, o.y() + y); };
    EXPECT_TRUE(near(at(75, 50), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(at(225, 50), qRgb(0, 255, 0)));
    EXPECT_TRUE(near(at(75, 150), qRgb(0, 0, 255)));
    EXPECT_TRUE(near(at(297, 197), qRgb(0, 0, 0)));
    EXPECT_TRUE(near(at(2, 2), qRgb(255, 0, 0)));
    for (const QPoint& white : {QPoint(304, 100), QPoint(150, 204), QPoint(-4, 50), QPoint(50, -4), QPoint(600, 600)})
        EXPECT_EQ(at(white.x(), white.y()), qRgb(255, 255, 255)) << white.x() << "," << white.y();

    // At twice the screen resolution the same pixels make half the size on paper.
    service.printPicture(quadrants(300, 200), 192, 192);
    const QImage half = printed(pdf);
    EXPECT_TRUE(near(half.pixel(o.x() + 147, o.y() + 97), qRgb(0, 0, 0)));
    EXPECT_EQ(half.pixel(o.x() + 154, o.y() + 50), qRgb(255, 255, 255));
}

TEST_F(PrinterServiceTest, LargerThanThePageIsCutNotScaled)
{
    QImage big(3000, 4000, QImage::Format_RGB32);
    big.fill(Qt::blue);
    QPainter(&big).fillRect(400, 500, 20, 20, Qt::red);
    const QString pdf = dir.filePath(QStringLiteral("big.pdf"));
    service.setOutputFile(pdf);
    service.printPicture(big, 96, 96);
    const QImage page = printed(pdf);
    ASSERT_FALSE(page.isNull());
    const QPoint o = origin();
    EXPECT_TRUE(near(page.pixel(o.x() + 410, o.y() + 510), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(page.pixel(page.width() - o.x() - 3, page.height() - o.y() - 3), qRgb(0, 0, 255)));
    // The margins stay paper: the cut is at the printable area.
    EXPECT_EQ(page.pixel(page.width() - 2, page.height() / 2), qRgb(255, 255, 255));
    EXPECT_EQ(page.pixel(page.width() / 2, page.height() - 2), qRgb(255, 255, 255));
}

TEST_F(PrinterServiceTest, NothingToPrintOrNowhereToPrintIsToldApart)
{
    const QString pdf = dir.filePath(QStringLiteral("none.pdf"));
    service.setOutputFile(pdf);
    EXPECT_EQ(service.printPicture(QImage(), 96, 96), PrintOutcome::NothingToPrint);
    EXPECT_FALSE(QFile::exists(pdf));
    // Unusable resolutions print at 96 DPI.
    EXPECT_EQ(service.printPicture(quadrants(10, 10), 0, -1), PrintOutcome::Printed);
    EXPECT_TRUE(QFile::exists(pdf));
    // A file that cannot be written is a failure, not a page printed.
    service.setOutputFile(QStringLiteral("/nonexistent-folder/page.pdf"));
    EXPECT_EQ(service.printPicture(quadrants(10, 10), 96, 96), PrintOutcome::Failed);

    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a real printer is installed; not printing to it";
    service.setOutputFile({});
    EXPECT_EQ(service.printPicture(quadrants(10, 10), 96, 96), PrintOutcome::NoPrinter);
}

// The part of a picture worth drawing for a page is what the printable area holds: a picture of
// exactly that size reaches the area's far corner and one pixel more would be cut.
TEST_F(PrinterServiceTest, PrintableSizeIsWhatThePageHolds)
{
    const QString pdf = dir.filePath(QStringLiteral("size.pdf"));
    service.setOutputFile(pdf);
    const QSize fits = service.printableSize(96, 96);
    const QSize area = QPrinter(QPrinter::HighResolution).pageLayout().paintRectPixels(96).size();
    EXPECT_NEAR(fits.width(), area.width(), 1);
    EXPECT_NEAR(fits.height(), area.height(), 1);
    const QSize twice = service.printableSize(192, 192);
    EXPECT_NEAR(twice.width(), 2 * fits.width(), 2);
    EXPECT_NEAR(twice.height(), 2 * fits.height(), 2);

    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        GTEST_SKIP() << "a real printer is installed";
    service.setOutputFile({});
    EXPECT_TRUE(service.printableSize(96, 96).isEmpty());
}

TEST_F(PrinterServiceTest, SetupKeepsChoicesAndCancelKeepsTheOldOnes)
{
    const QString first = dir.filePath(QStringLiteral("first.pdf"));
    const QString chosen = dir.filePath(QStringLiteral("chosen.pdf"));
    service.setOutputFile(first);
    answerDialog([](QDialog* d) {
        if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("filename")))
            name->setText(QStringLiteral("/nowhere/else.pdf"));
        d->reject();
    });
    service.setup(nullptr);
    service.printPicture(quadrants(10, 10), 96, 96);
    EXPECT_TRUE(QFile::exists(first));

    bool fileField = false;
    answerDialog([&](QDialog* d) {
        if (auto* name = d->findChild<QLineEdit*>(QStringLiteral("filename"))) {
            fileField = true;
            name->setText(chosen);
        }
        d->accept();
    });
    service.setup(nullptr);
    if (!fileField)
        GTEST_SKIP() << "this Qt's print dialog has no file name field to choose with";
    service.printPicture(quadrants(10, 10), 96, 96);
    EXPECT_TRUE(QFile::exists(chosen));
}

} // namespace
