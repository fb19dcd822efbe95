#include "palette/palform.h"

#include "common/appcontext.h"
#include "common/core/prompts.h"
#include "common/twipslayout.h"
#include "palette/core/palettereaders.h"
#include "platform/core/processenvironment.h"
#include "platform/desktoplauncher.h"
#include "platform/screenmetrics.h"
#include "platform/windowplacement.h"

#include <QDir>
#include <QEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace orv {

namespace {

const QColor kStripBackground(192, 192, 192);
const QColor kLinkColour(0, 0, 255);
const QColor kLinkHeldColour(255, 0, 0);

enum class ButtonArt { Open, Quit };

// A 23 by 22 button face: raised when released, sunken with its symbol one pixel down and
// right when pressed.
QPixmap buttonPicture(ButtonArt art, bool pressed)
{
    QImage img(23, 22, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(192, 192, 192));
    QPainter p(&img);
    const QColor light(255, 255, 255), shadow(128, 128, 128), dark(0, 0, 0);
    p.setPen(pressed ? dark : light);
    p.drawLine(0, 0, 22, 0);
    p.drawLine(0, 0, 0, 21);
    p.setPen(pressed ? light : dark);
    p.drawLine(0, 21, 22, 21);
    p.drawLine(22, 0, 22, 21);
    p.setPen(pressed ? light : shadow);
    if (!pressed) {
        p.drawLine(1, 20, 21, 20);
        p.drawLine(21, 1, 21, 20);
    }
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(pressed ? 1 : 0, pressed ? 1 : 0);
    if (art == ButtonArt::Open) {
        // An opening folder.
        p.setPen(QPen(QColor(96, 64, 0), 1));
        p.setBrush(QColor(230, 180, 40));
        QPainterPath back;
        back.moveTo(4.5, 6.5);
        back.lineTo(9.5, 6.5);
        back.lineTo(11, 8.5);
        back.lineTo(17.5, 8.5);
        back.lineTo(17.5, 16.5);
        back.lineTo(4.5, 16.5);
        back.closeSubpath();
        p.drawPath(back);
        p.setBrush(QColor(255, 220, 90));
        QPainterPath front;
        front.moveTo(4.5, 16.5);
        front.lineTo(7, 10.5);
        front.lineTo(19.5, 10.5);
        front.lineTo(17.5, 16.5);
        front.closeSubpath();
        p.drawPath(front);
    } else {
        // A cross.
        p.setPen(QPen(QColor(176, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6.5, 6), QPointF(16, 15.5));
        p.drawLine(QPointF(16, 6), QPointF(6.5, 15.5));
    }
    p.end();
    return QPixmap::fromImage(img);
}

// Holds the busy pointer until released or destroyed.
class BusyPointer {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { release(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    void release()
    {
        if (held_)
            QGuiApplication::restoreOverrideCursor();
        held_ = false;
    }

private:
    bool held_ = true;
};

bool outside(const QWidget* w, QPointF at)
{
    return at.x() < 0 || at.x() > w->width() || at.y() < 0 || at.y() > w->height();
}

} // namespace


PalForm::PalForm(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), ctx_(ctx)
{
    setObjectName(QStringLiteral("PalForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint);
    const ScreenMetrics& screen = *ctx_.services().screen;
    twipsPerPixelY_ = screen.twipsPerPixelY();
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());
    setFixedSize(L.size(6255, 5880));
    QFont small = font();
    small.setPointSizeF(8.0);
    setFont(small);
    background_ = palette().color(QPalette::Window);

    imgOpenUp_ = buttonPicture(ButtonArt::Open, false);
    imgOpenDown_ = buttonPicture(ButtonArt::Open, true);
    imgQuitUp_ = buttonPicture(ButtonArt::Quit, false);
    imgQuitDown_ = buttonPicture(ButtonArt::Quit, true);

    imgOpen_ = new QLabel(this);
    imgOpen_->setObjectName(QStringLiteral("imgOpen"));
    imgOpen_->setScaledContents(true);
    imgOpen_->setPixmap(imgOpenUp_);
    L.place(imgOpen_, 120, 120, 345, 330);
    imgOpen_->installEventFilter(this);
    imgQuit_ = new QLabel(this);
    imgQuit_->setObjectName(QStringLiteral("imgQuit"));
    imgQuit_->setScaledContents(true);
    imgQuit_->setPixmap(imgQuitUp_);
    L.place(imgQuit_, 480, 120, 345, 330);
    imgQuit_->installEventFilter(this);

    colorsList_ = new QListWidget(this);
    colorsList_->setObjectName(QStringLiteral("colorsList"));
    L.place(colorsList_, 120, 600, 2415, 4740);
    connect(colorsList_, &QListWidget::currentRowChanged, this, [this] { colorsList_Click(); });

    displayColors_ = new QLabel(this);
    displayColors_->setObjectName(QStringLiteral("displayColors"));
    displayColors_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    displayColors_->setCursor(Qt::CrossCursor);
    displayColors_->setMouseTracking(true);
    L.place(displayColors_, 2760, 600, 1215, 5190);
    displayColors_->installEventFilter(this);

    displayChoosenColor_ = new QLabel(this);
    displayChoosenColor_->setObjectName(QStringLiteral("displayChoosenColor"));
    displayChoosenColor_->setAutoFillBackground(true);
    L.place(displayChoosenColor_, 4200, 600, 1935, 1815);

    const int tops[] = {2760, 3240, 3720};
    QLabel** labels[] = {&lblRed_, &lblGreen_, &lblBlue_};
    QLineEdit** values[] = {&rValue_, &gValue_, &bValue_};
    const QString labelNames[] = {QStringLiteral("lblRed"), QStringLiteral("lblGreen"), QStringLiteral("lblBlue")};
    const QString valueNames[] = {QStringLiteral("rValue"), QStringLiteral("gValue"), QStringLiteral("bValue")};
    for (int i = 0; i < 3; ++i) {
        *labels[i] = new QLabel(this);
        (*labels[i])->setObjectName(labelNames[i]);
        L.place(*labels[i], 4200, tops[i], 900, 285);
        *values[i] = new QLineEdit(this);
        (*values[i])->setObjectName(valueNames[i]);
        (*values[i])->setReadOnly(true);
        L.place(*values[i], 5160, tops[i], 975, 285);
        // Screen readers name the value by its label, in the language shown.
        (*labels[i])->setBuddy(*values[i]);
    }
    colorsList_->setAccessibleName(QStringLiteral("Colour values"));
    displayColors_->setAccessibleName(QStringLiteral("Palette colours"));

    lblPreview_ = new QLabel(this);
    lblPreview_->setObjectName(QStringLiteral("lblPreview"));
    L.place(lblPreview_, 120, 5520, 1200, 255);
    displayPreview_ = new QLabel(this);
    displayPreview_->setObjectName(QStringLiteral("displayPreview"));
    displayPreview_->setAutoFillBackground(true);
    L.place(displayPreview_, 1320, 5520, 1215, 255);

    frmABout_ = new QGroupBox(this);
    frmABout_->setObjectName(QStringLiteral("frmABout"));
    L.place(frmABout_, 4200, 4200, 1935, 1575);
    lblCopyright_ = new QLabel(QStringLiteral("© 2026 Orvane Viewer developers"), frmABout_);
    lblCopyright_->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright_->setWordWrap(true);
    L.place(lblCopyright_, 120, 360, 1700, 600);
    lblEmail_ = new QLabel(frmABout_);
    lblEmail_->setObjectName(QStringLiteral("lblEmail"));
    lblEmail_->setCursor(Qt::PointingHandCursor);
    lblEmail_->setWordWrap(true);
    lblEmail_->setToolTip(AppContext::SiteAddress);
    QPalette link = lblEmail_->palette();
    link.setColor(QPalette::WindowText, kLinkColour);
    lblEmail_->setPalette(link);
    L.place(lblEmail_, 120, 1080, 1700, 400);
    lblEmail_->installEventFilter(this);

    clearPalette();

    texts_ = {
        {lblPreview_, 46}, {frmABout_, 47}, {lblEmail_, 48}, {lblRed_, 49}, {lblGreen_, 50}, {lblBlue_, 51},
        {[this](const QString& title) { dialogTitle_ = title; }, 52},
        {[this](const QString& title) { setWindowTitle(title); }, 53},
    };
}

void PalForm::applyTexts()
{
    texts_.apply(ctx_);
    // The French caption is wider than its designed box.
    fitTextInBox(lblPreview_);
}

void PalForm::Form_Load()
{
    centreOnScreen(this, *ctx_.services().screen);
    ctx_.shell().ApplyLanguage(QStringLiteral("FrmPal"));
}

void PalForm::imgOpen_Click()
{
    paletteRejected_ = 0;
    const QString folder = QDir(ctx_.services().process->currentFolder()).filePath(QStringLiteral("Palettes"));
    const QString path = ctx_.prompts().openFileName(dialogTitle_, folder, paletteFileFilters());
    if (path.isEmpty())
        return;

    BusyPointer busy;
    clearPalette();
    switch (paletteKindOf(path)) {
    case PaletteKind::Bitmap: {
        const PaletteRead read = MakeBMP256(path);
        if (read.refused()) {
            paletteRejected_ = 1;
            busy.release();
            ctx_.prompts().message(ctx_.text(read.refusal), QString(), PromptIcon::Critical, PromptButtons::Ok);
            setPaletteControlsEnabled(false);
            return;
        }
        showPalette(read);
        break;
    }
    case PaletteKind::Jasc: {
        const PaletteRead read = MakeJASC(path);
        if (read.refused()) {
            // The controls keep their state; only the palette has gone.
            busy.release();
            ctx_.prompts().message(ctx_.text(read.refusal), QString(), PromptIcon::Critical, PromptButtons::Ok);
            return;
        }
        showPalette(read);
        break;
    }
    case PaletteKind::None:
        break;
    }
    setPaletteControlsEnabled(true);
}

void PalForm::imgQuit_Click() { close(); }

void PalForm::colorsList_Click()
{
    const QListWidgetItem* item = colorsList_->currentItem();
    if (!item)
        return;
    const EntryParts parts = splitEntryText(item->text());
    fillSwatch(displayChoosenColor_, QColor(parts.redLevel, parts.greenLevel, parts.blueLevel));
    rValue_->setText(parts.red);
    gValue_->setText(parts.green);
    bValue_->setText(parts.blue);
}

void PalForm::displayColors_Click()
{
    if (hoverIndex_ < 0 || hoverIndex_ >= colorsList_->count())
        return;
    if (colorsList_->currentRow() == hoverIndex_)
        colorsList_Click();
    else
        colorsList_->setCurrentRow(hoverIndex_);
}

void PalForm::lblEmail_Click() { ctx_.services().desktop->openDocument(AppContext::SiteAddress); }

void PalForm::displayColors_MouseMove(QPoint at)
{
    const double yTwips = (at.y() + 0.5) * twipsPerPixelY_;
    hoverIndex_ = static_cast<qint16>(std::clamp(hoverIndexAt(yTwips), -32768, 32767));
    if (at.y() >= 0 && at.y() < strip_.height())
        fillSwatch(displayPreview_, strip_.pixelColor(0, at.y()));
}

bool PalForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == imgOpen_)
        imageButtonEvent(imgOpen_, imgOpenUp_, imgOpenDown_, e);
    else if (watched == imgQuit_)
        imageButtonEvent(imgQuit_, imgQuitUp_, imgQuitDown_, e);
    else if (watched == lblEmail_)
        lblEmailEvent(e);
    else if (watched == displayColors_) {
        if (e->type() == QEvent::MouseMove) {
            displayColors_MouseMove(static_cast<QMouseEvent*>(e)->position().toPoint());
        } else if (e->type() == QEvent::MouseButtonPress) {
            pressed_ = displayColors_;
        } else if (e->type() == QEvent::MouseButtonRelease) {
            const auto* me = static_cast<QMouseEvent*>(e);
            const bool click = pressed_ == displayColors_ && me->button() == Qt::LeftButton
                               && displayColors_->rect().contains(me->position().toPoint());
            pressed_ = nullptr;
            if (click) {
                displayColors_MouseMove(me->position().toPoint());
                displayColors_Click();
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}

void PalForm::imageButtonEvent(QLabel* button, const QPixmap& up, const QPixmap& down, QEvent* e)
{
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        pressed_ = button;
        button->setPixmap(down);
        break;
    case QEvent::MouseMove: {
        const auto* me = static_cast<QMouseEvent*>(e);
        if (me->buttons() & Qt::LeftButton)
            button->setPixmap(outside(button, me->position()) ? up : down);
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto* me = static_cast<QMouseEvent*>(e);
        button->setPixmap(up);
        const bool click = pressed_ == button && me->button() == Qt::LeftButton && !outside(button, me->position());
        pressed_ = nullptr;
        if (click) {
            if (button == imgOpen_)
                imgOpen_Click();
            else
                imgQuit_Click();
        }
        break;
    }
    default:
        break;
    }
}

void PalForm::lblEmailEvent(QEvent* e)
{
    if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonRelease)
        return;
    const bool down = e->type() == QEvent::MouseButtonPress;
    QPalette p = lblEmail_->palette();
    p.setColor(QPalette::WindowText, down ? kLinkHeldColour : kLinkColour);
    lblEmail_->setPalette(p);
    if (down) {
        pressed_ = lblEmail_;
        return;
    }
    const auto* me = static_cast<QMouseEvent*>(e);
    const bool click = pressed_ == lblEmail_ && me->button() == Qt::LeftButton
                       && lblEmail_->rect().contains(me->position().toPoint());
    pressed_ = nullptr;
    if (click)
        lblEmail_Click();
}

void PalForm::clearPalette()
{
    stripes_.clear();
    paintStrip();
    fillSwatch(displayPreview_, background_);
    fillSwatch(displayChoosenColor_, background_);
    rValue_->clear();
    gValue_->clear();
    bValue_->clear();
    colorsList_->clear();
}

void PalForm::showPalette(const PaletteRead& read)
{
    QStringList texts;
    texts.reserve(read.entries.size());
    for (const PaletteEntry& e : read.entries) {
        texts.append(entryText(e));
        stripes_.append(QColor(paintedLevel(e.red), paintedLevel(e.green), paintedLevel(e.blue)));
    }
    colorsList_->addItems(texts);
    paintStrip();
}

void PalForm::paintStrip()
{
    // Painted row by row with the pointer's own rule, so the preview and a click agree.
    strip_ = QImage(displayColors_->size(), QImage::Format_RGB32);
    strip_.fill(kStripBackground);
    for (int row = 0; row < strip_.height(); ++row) {
        const int i = stripeAt((row + 0.5) * twipsPerPixelY_, static_cast<int>(stripes_.size()));
        if (i < 0)
            continue;
        const QRgb c = stripes_.at(i).rgb();
        auto* line = reinterpret_cast<QRgb*>(strip_.scanLine(row));
        std::fill(line, line + strip_.width(), c);
    }
    displayColors_->setPixmap(QPixmap::fromImage(strip_));
}

void PalForm::setPaletteControlsEnabled(bool enabled)
{
    for (QWidget* w : std::initializer_list<QWidget*>{colorsList_, displayColors_, displayChoosenColor_, displayPreview_,
                                                      lblPreview_, lblRed_, lblGreen_, lblBlue_, rValue_, gValue_, bValue_})
        w->setEnabled(enabled);
}

void PalForm::fillSwatch(QLabel* box, const QColor& colour)
{
    QPalette p = box->palette();
    p.setColor(QPalette::Window, colour);
    box->setPalette(p);
}

} // namespace orv
