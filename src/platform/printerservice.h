#pragma once

#include <QSize>
#include <QString>

#include <memory>

class QImage;
class QPrinter;
class QWidget;

namespace orv {

enum class PrintOutcome {
    Printed,
    NothingToPrint,  // no picture
    NoPrinter,       // none set up and no file chosen: the user is told
    Failed,          // the printer or the file refused the page: the user is told
};

// One printer for the run: set up through the system's dialog, then used for single pages.
class PrinterService {
public:
    virtual ~PrinterService() = default;
    // Prints one page with the picture at its natural size at the page's origin; what does not
    // fit the printable area is cut.
    virtual PrintOutcome printPicture(const QImage& picture, double dpiX, double dpiY) = 0;
    // How many pixels of a picture at dpiX × dpiY fit the printable area from its origin: the
    // part worth drawing for printPicture. Empty when there is nowhere to print.
    virtual QSize printableSize(double dpiX, double dpiY) = 0;
    // The printer set-up dialog; Cancel keeps the previous settings.
    virtual void setup(QWidget* parent) = 0;
};

// Qt Print Support on the system's printers (CUPS), with one printer object for the run so
// that what the set-up dialog chose applies to every later page. The page's origin is the top
// left corner of the printable area, not of the paper: a printer puts no ink in its margins,
// so a picture drawn from the paper's corner would lose its top and left edges.
class QtPrinterService final : public PrinterService {
public:
    QtPrinterService();
    ~QtPrinterService() override;
    PrintOutcome printPicture(const QImage& picture, double dpiX, double dpiY) override;
    QSize printableSize(double dpiX, double dpiY) override;
    // The system's print dialog (printer, paper, printing to a file), used for set-up only.
    void setup(QWidget* parent) override;
    // Later pages go to this PDF file instead of a printer; an empty path goes back to the
    // default printer.
    void setOutputFile(const QString& path);

private:
    // Made at first use: a QPrinter asks the print system for its printers, which start-up
    // should not wait for.
    QPrinter& printer();
    bool canPrint();
    std::unique_ptr<QPrinter> printer_;
};

} // namespace orv
