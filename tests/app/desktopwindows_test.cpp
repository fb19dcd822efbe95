// Every window as a desktop expects it: each control named for screen readers and UI
// automation, and windows larger than the screen placed where their title bar can be reached.
#include "apphost.h"
#include "controls.h"

#include "app/frmlang.h"
#include "app/intro.h"
#include "browser/frmplay.h"
#include "browser/mainm.h"
#include "editor/frmfind.h"
#include "editor/frmmdi.h"
#include "editor/frmnotepad.h"
#include "editor/texteditor.h"
#include "palette/palform.h"
#include "slideshow/showpic.h"
#include "slideshow/slideshow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace orv;
using namespace orv::test;

namespace {

// Parts Qt builds inside its own controls (a combo box's pop-up, a list's scroll bars) are
// named by those controls.
bool isPartOfAnotherControl(const QWidget* w, const QWidget* window)
{
    for (const QWidget* p = w; p && p != window; p = p->parentWidget()) {
        if (p->objectName().startsWith(QLatin1String("qt_")))
            return true;
        if (p != w && (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p)))
            return true;
    }
    return false;
}

// A menu bar is named by its entries.
bool isControl(const QWidget* w)
{
    if (qobject_cast<const QMenuBar*>(w))
        return false;
    return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QComboBox*>(w)
           || qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QAbstractSlider*>(w)
           || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w)
           || qobject_cast<const QTextEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w)
           || w->focusPolicy() != Qt::NoFocus || w->hasMouseTracking();
}

// The controls of a window whose accessible name is empty, by object name (or class).
QStringList unnamedControls(QWidget* window)
{
    QStringList unnamed;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !isControl(w) || isPartOfAnotherControl(w, window))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                     : w->objectName());
    }
    return unnamed;
}

// Texts that do not fit the control that shows them, as "window/control: text".
QStringList clippedTexts(QWidget* window)
{
    QStringList clipped;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || isPartOfAnotherControl(w, window))
            continue;
        QString text;
        int room = 0;
        int roomHeight = 0;
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->text().isEmpty() && !label->wordWrap()) {
            text = label->text();
            room = label->contentsRect().width();
            roomHeight = label->contentsRect().height();
        } else if (auto* button = qobject_cast<QAbstractButton*>(w); button && !button->text().isEmpty()) {
            text = button->text();
            // What the button's style leaves for the text: its frame, or the indicator beside it.
            QStyle* style = button->style();
            if (qobject_cast<QPushButton*>(button)) {
                room = button->width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
            } else {
                const bool check = qobject_cast<QCheckBox*>(button) != nullptr;
                room = button->width()
                       - style->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth,
                                            nullptr, button)
                       - style->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing : QStyle::PM_RadioButtonLabelSpacing,
                                            nullptr, button);
            }
            roomHeight = button->height();
        } else {
            continue;
        }
        if (!w->isVisibleTo(window))
            continue;
        const QSize size = w->fontMetrics().size(Qt::TextShowMnemonic, text);
        if (size.width() > room || w->fontMetrics().height() > roomHeight)
            clipped.append(QStringLiteral("%1/%2: %3 (%4 px for %5)")
                               .arg(window->objectName(), w->objectName(), text)
                               .arg(room)
                               .arg(size.width()));
    }
    return clipped;
}

// The editor's frame, its first document and its find dialog are shown to be made.
QList<QWidget*> allWindows(Application& app)
{
    TextEditor& editor = app.textEditor();
    editor.show();
    editor.showFindDialog(QString());
    frmMDI* frame = editor.frame();
    return {app.findMainM(), &app.options(), &app.palForm(), &app.slideshow(), &app.intro(), &app.showpic(),
            &app.player(), frame, frame ? frame->activeDocument() : nullptr, editor.findDialog()};
}

} // namespace

TEST(DesktopWindows, EveryControlOfEveryWindowHasAName)
{
    AppHost h;
    h.app->Main();
    for (QWidget* window : allWindows(*h.app)) {
        ASSERT_TRUE(window);
        EXPECT_EQ(unnamedControls(window).join(QLatin1Char(' ')).toStdString(), "") << window->objectName().toStdString();
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(window);
        ASSERT_TRUE(a);
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << window->objectName().toStdString();
    }
}

// At twice the scale a 1280 x 1024 screen is 640 x 512: the main window is wider than that and
// starts at the left edge instead of beyond it; windows that fit stay centred.
TEST(DesktopWindows, WindowsLargerThanTheScreenKeepTheirTitleBarOnIt)
{
    AppHost h;
    h.screen.size = QSize(640, 512);
    h.app->Main();
    MainM& m = *h.app->findMainM();
    ASSERT_GT(m.width(), 640);
    EXPECT_EQ(m.pos().x(), 0);
    EXPECT_GE(m.pos().y(), 0);
    Intro& splash = h.app->intro();
    ASSERT_LT(splash.width(), 640);
    EXPECT_EQ(splash.pos().x(), (640 - splash.width()) / 2);
}

// Every caption fits its control in both languages; run again at twice the scale
// (desktopwindows_at_2x), where the layout is the same in scaled pixels.
TEST(DesktopWindows, TextFitsItsControls)
{
    for (const char* language : {"English", "French"}) {
        AppHost h;
        h.app->Main();
        if (QLatin1String(language) == QLatin1String("French")) {
            h.app->options().findChild<QAbstractButton*>(QStringLiteral("optFrench"))->click();
            h.app->SetLanguage(false);
        }
        for (QWidget* window : allWindows(*h.app)) {
            window->show();  // lays the controls out, with the texts they have now
            QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            EXPECT_EQ(clippedTexts(window).join(QLatin1Char('\n')).toStdString(), "") << language;
            window->hide();
        }
    }
}
