#include "palette/palform.h"

#include "common/appcontext.h"
#include "common/twipslayout.h"
#include "platform/screenmetrics.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QStyle>

namespace orv {

PalForm::PalForm(AppContext& ctx, QWidget* parent) : QWidget(parent, Qt::Window), ctx_(ctx)
{
    setObjectName(QStringLiteral("PalForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowTitleHint);
    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());
    setFixedSize(L.size(6255, 5880));
    QFont small = font();
    small.setPointSizeF(8.0);
    setFont(small);

    imgOpen = new QLabel(this);
    imgOpen->setObjectName(QStringLiteral("imgOpen"));
    imgOpen->setPixmap(style()->standardIcon(QStyle::SP_DialogOpenButton).pixmap(L.size(345, 330)));
    L.place(imgOpen, 120, 120, 345, 330);
    imgQuit = new QLabel(this);
    imgQuit->setObjectName(QStringLiteral("imgQuit"));
    imgQuit->setPixmap(style()->standardIcon(QStyle::SP_DialogCloseButton).pixmap(L.size(345, 330)));
    L.place(imgQuit, 480, 120, 345, 330);
    imgQuit->installEventFilter(this);

    colorsList = new QListWidget(this);
    colorsList->setObjectName(QStringLiteral("colorsList"));
    L.place(colorsList, 120, 600, 2415, 4740);

    displayColors = new QLabel(this);
    displayColors->setObjectName(QStringLiteral("displayColors"));
    displayColors->setAutoFillBackground(true);
    displayColors->setStyleSheet(QStringLiteral("background: rgb(192,192,192);"));
    displayColors->setCursor(Qt::CrossCursor);
    L.place(displayColors, 2760, 600, 1215, 5190);

    displayChoosenColor = new QLabel(this);
    displayChoosenColor->setObjectName(QStringLiteral("displayChoosenColor"));
    displayChoosenColor->setAutoFillBackground(true);
    L.place(displayChoosenColor, 4200, 600, 1935, 1815);

    const int tops[] = {2760, 3240, 3720};
    QLabel** labels[] = {&lblRed, &lblGreen, &lblBlue};
    QLineEdit** values[] = {&rValue, &gValue, &bValue};
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
    }

    lblPreview = new QLabel(this);
    lblPreview->setObjectName(QStringLiteral("lblPreview"));
    L.place(lblPreview, 120, 5520, 1200, 255);
    displayPreview = new QLabel(this);
    displayPreview->setObjectName(QStringLiteral("displayPreview"));
    displayPreview->setAutoFillBackground(true);
    L.place(displayPreview, 1320, 5520, 1215, 255);

    frmABout = new QGroupBox(this);
    frmABout->setObjectName(QStringLiteral("frmABout"));
    L.place(frmABout, 4200, 4200, 1935, 1575);
    lblCopyright = new QLabel(QStringLiteral("© 2026 Orvane Viewer\ndevelopers"), frmABout);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    L.place(lblCopyright, 120, 360, 1700, 600);
    lblEmail = new QLabel(frmABout);
    lblEmail->setObjectName(QStringLiteral("lblEmail"));
    lblEmail->setStyleSheet(QStringLiteral("color: rgb(0,0,255);"));
    lblEmail->setCursor(Qt::PointingHandCursor);
    L.place(lblEmail, 120, 1080, 1700, 400);
}

void PalForm::Form_Load()
{
    centreOnScreen(this, ctx_.services().screen->screenPixels());
    ctx_.shell().ApplyLanguage(QStringLiteral("FrmPal"));
}

bool PalForm::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == imgQuit && e->type() == QEvent::MouseButtonRelease) {
        const auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton && imgQuit->rect().contains(me->position().toPoint()))
            close();
    }
    return QWidget::eventFilter(watched, e);
}

} // namespace orv
