#include "browser/statuspanels.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace orv {

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent), timer_(new QTimer(this))
{
    setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(this);
        panels_[i]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        panels_[i]->setContentsMargins(3, 0, 3, 0);
        panels_[i]->setTextFormat(Qt::PlainText);
        addPermanentWidget(panels_[i], i == 0 ? 1 : 0);
    }
    panels_[0]->setMinimumWidth(1);
    // Checking twice a second keeps the minute change prompt without tracking the clock.
    timer_->setInterval(500);
    connect(timer_, &QTimer::timeout, this, &StatusPanels::updateClock);
    timer_->start();
    updateClock();
}

QLabel* StatusPanels::panel(int n) const { return (n >= 1 && n <= 3) ? panels_[n - 1] : nullptr; }

void StatusPanels::setPanelText(int n, const QString& text)
{
    if (QLabel* p = panel(n))
        p->setText(text);
}

QString StatusPanels::panelText(int n) const
{
    const QLabel* p = panel(n);
    return p ? p->text() : QString();
}

void StatusPanels::setPanelToolTip(int n, const QString& tip)
{
    if (QLabel* p = panel(n))
        p->setToolTip(tip);
}

void StatusPanels::updateClock()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale loc = QLocale::system();
    const QString t = loc.toString(now.time(), QLocale::ShortFormat);
    const QString d = loc.toString(now.date(), QLocale::ShortFormat);
    if (panels_[1]->text() != t)
        panels_[1]->setText(t);
    if (panels_[2]->text() != d)
        panels_[2]->setText(d);
}

} // namespace orv
