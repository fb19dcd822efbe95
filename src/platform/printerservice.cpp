#include "platform/printerservice.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <limits>

namespace orv {

namespace {

// A screen resolution that cannot be real (zero, negative, not a number) prints as 96 DPI
// rather than as nothing or as an endless page.
double usableDpi(double dpi)
{
    return std::isfinite(dpi) && dpi >= 1.0 && dpi <= 10000.0 ? dpi : 96.0;
}

// How many picture pixels, from the left or top, reach into a printable length.
int fittingPixels(int pictureLength, int printableLength, double devicePerPixel)
{
    const double fit = std::ceil(printableLength / devicePerPixel);
    return static_cast<int>(std::min<double>(pictureLength, std::max(fit, 0.0)));
}

} // namespace

QtPrinterService::QtPrinterService() = default;

QPrinter& QtPrinterService::printer()
{
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

QtPrinterService::~QtPrinterService() = default;

void QtPrinterService::setOutputFile(const QString& path)
{
    if (path.isEmpty()) {
        printer().setOutputFileName({});
        printer().setOutputFormat(QPrinter::NativeFormat);
        return;
    }
    printer().setOutputFormat(QPrinter::PdfFormat);
    printer().setOutputFileName(path);
}

bool QtPrinterService::canPrint()
{
    QPrinter& printer = this->printer();
    // With no printer installed Qt falls back to PDF output with no file: nowhere to print.
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty())
        return false;
    return printer.outputFormat() != QPrinter::NativeFormat || !printer.printerName().isEmpty();
}

QSize QtPrinterService::printableSize(double dpiX, double dpiY)
{
    if (!canPrint())
        return {};
    QPrinter& printer = this->printer();
    const double sx = printer.logicalDpiX() / usableDpi(dpiX);
    const double sy = printer.logicalDpiY() / usableDpi(dpiY);
    const int most = std::numeric_limits<int>::max();
    return QSize(fittingPixels(most, printer.width(), sx), fittingPixels(most, printer.height(), sy));
}

PrintOutcome QtPrinterService::printPicture(const QImage& picture, double dpiX, double dpiY)
{
    if (picture.isNull())
        return PrintOutcome::NothingToPrint;
    if (!canPrint())
        return PrintOutcome::NoPrinter;
    QPrinter& printer = this->printer();

    const double sx = printer.logicalDpiX() / usableDpi(dpiX);
    const double sy = printer.logicalDpiY() / usableDpi(dpiY);
    const QRect printable(0, 0, printer.width(), printer.height());
    // Only the part that fits travels to the printer; the rest is cut, never scaled.
    const int w = fittingPixels(picture.width(), printable.width(), sx);
    const int h = fittingPixels(picture.height(), printable.height(), sy);
    if (w <= 0 || h <= 0)
        return PrintOutcome::Failed;

    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;
    painter.setClipRect(printable);
    painter.drawImage(QRectF(0, 0, w * sx, h * sy), picture, QRectF(0, 0, w, h));
    return painter.end() && printer.printerState() != QPrinter::Error ? PrintOutcome::Printed : PrintOutcome::Failed;
}

void QtPrinterService::setup(QWidget* parent)
{
    QPrintDialog dialog(&printer(), parent);
    // One picture on one page: no ranges, no selection.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    // The dialog only sets up; its accept button must not promise a print.
    const auto boxes = dialog.findChildren<QDialogButtonBox*>(Qt::FindDirectChildrenOnly);
    for (QDialogButtonBox* box : boxes) {
        if (QPushButton* ok = box->button(QDialogButtonBox::Ok))
            ok->setText(QCoreApplication::translate("QPlatformTheme", "OK"));
    }
    // Qt applies the choices to the printer on accept only, so Cancel keeps the previous ones.
    dialog.exec();
}

} // namespace orv
