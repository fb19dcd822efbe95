#include "app/frmlang.h"

#include "app/application.h"
#include "browsing/core/folderbrowser.h"
#include "browser/mainm.h"
#include "common/appcontext.h"
#include "common/core/paths.h"
#include "common/core/settingsstore.h"
#include "common/twipslayout.h"
#include "platform/core/processenvironment.h"
#include "platform/screenmetrics.h"
#include "platform/core/volumelist.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace orv {

frmLang::frmLang(AppContext& ctx, Application& app, QWidget* parent) : QDialog(parent), ctx_(ctx), app_(app)
{
    setObjectName(QStringLiteral("frmLang"));
    setWindowTitle(QStringLiteral("Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    fraLang = new QGroupBox(QStringLiteral("Language"), this);
    fraLang->setObjectName(QStringLiteral("fraLang"));
    optEnglish = new QRadioButton(QStringLiteral("English"), fraLang);
    optEnglish->setObjectName(QStringLiteral("optEnglish"));
    optFrench = new QRadioButton(QStringLiteral("French"), fraLang);
    optFrench->setObjectName(QStringLiteral("optFrench"));
    optEnglish->setChecked(true);
    auto* langLayout = new QHBoxLayout(fraLang);
    langLayout->addWidget(optEnglish);
    langLayout->addWidget(optFrench);
    langLayout->addStretch();

    fraDirectory = new QGroupBox(QStringLiteral("Start Directory"), this);
    fraDirectory->setObjectName(QStringLiteral("fraDirectory"));
    lblDir = new QLineEdit(fraDirectory);
    lblDir->setObjectName(QStringLiteral("lblDir"));
    lblDir->setReadOnly(true);
    lblQuest = new QLabel(QStringLiteral("Use as default ?"), fraDirectory);
    lblQuest->setObjectName(QStringLiteral("lblQuest"));
    optYes = new QRadioButton(QStringLiteral("Yes"), fraDirectory);
    optYes->setObjectName(QStringLiteral("optYes"));
    optNo = new QRadioButton(QStringLiteral("No"), fraDirectory);
    optNo->setObjectName(QStringLiteral("optNo"));
    optYes->setChecked(true);
    auto* dirLayout = new QVBoxLayout(fraDirectory);
    dirLayout->addWidget(lblDir);
    auto* questRow = new QHBoxLayout;
    questRow->addWidget(lblQuest);
    questRow->addWidget(optYes);
    questRow->addWidget(optNo);
    questRow->addStretch();
    dirLayout->addLayout(questRow);

    btnSet = new QPushButton(QStringLiteral("&Set"), this);
    btnSet->setObjectName(QStringLiteral("btnSet"));
    btnSet->setDefault(true);
    btnExit = new QPushButton(QStringLiteral("&Cancel"), this);
    btnExit->setObjectName(QStringLiteral("btnExit"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSet);
    buttons->addWidget(btnExit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraLang);
    layout->addWidget(fraDirectory);
    layout->addLayout(buttons);

    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());
    setMinimumWidth(L.x(5400));

    connect(btnSet, &QPushButton::clicked, this, &frmLang::btnSet_Click);
    connect(btnExit, &QPushButton::clicked, this, &frmLang::btnExit_Click);
}

void frmLang::Form_Load()
{
    adjustSize();
    centreOnScreen(this, ctx_.services().screen->screenPixels());
    ctx_.shell().ApplyLanguage(QStringLiteral("FrmLang"));
}

bool frmLang::event(QEvent* e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(e);
}

void frmLang::Form_Activate()
{
    if (MainM* m = app_.findMainM()) {
        QString dir = m->browser().folder();
        lblDir->setText(namesIgnoreCase() ? CapitalizePath(dir) : dir);
    }
    const QString lang = ctx_.store().read(AppContext::AppName, AppContext::LangSection, QStringLiteral("Lang"));
    if (lang == QLatin1String("French"))
        optFrench->setChecked(true);
    else if (lang == QLatin1String("English"))
        optEnglish->setChecked(true);
}

void frmLang::btnSet_Click()
{
    QString dir;
    if (optYes->isChecked())
        dir = lblDir->text();
    else
        dir = volumeRootOf(ctx_.services().process->executableFolder(), ctx_.services().volumes->volumes());
    ctx_.store().write(AppContext::AppName, QStringLiteral("Settings"), QStringLiteral("DefaultDir"), dir);
    ctx_.shell().SetLanguage(false);
    close();
}

void frmLang::btnExit_Click()
{
    close();
}

} // namespace orv
