#include "app/frmlang.h"

#include "common/appcontext.h"
#include "common/core/paths.h"
#include "common/core/settingsstore.h"
#include "common/twipslayout.h"
#include "platform/core/processenvironment.h"
#include "platform/core/volumelist.h"
#include "platform/screenmetrics.h"
#include "platform/windowplacement.h"

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

frmLang::frmLang(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setObjectName(QStringLiteral("frmLang"));
    setWindowTitle(QStringLiteral("Options"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    fraLang_ = new QGroupBox(QStringLiteral("Language"), this);
    fraLang_->setObjectName(QStringLiteral("fraLang"));
    optEnglish_ = new QRadioButton(QStringLiteral("English"), fraLang_);
    optEnglish_->setObjectName(QStringLiteral("optEnglish"));
    optFrench_ = new QRadioButton(QStringLiteral("French"), fraLang_);
    optFrench_->setObjectName(QStringLiteral("optFrench"));
    optEnglish_->setChecked(true);
    auto* langLayout = new QHBoxLayout(fraLang_);
    langLayout->addWidget(optEnglish_);
    langLayout->addWidget(optFrench_);
    langLayout->addStretch();

    fraDirectory_ = new QGroupBox(QStringLiteral("Start Directory"), this);
    fraDirectory_->setObjectName(QStringLiteral("fraDirectory"));
    lblDir_ = new QLineEdit(fraDirectory_);
    lblDir_->setObjectName(QStringLiteral("lblDir"));
    lblDir_->setReadOnly(true);
    lblQuest_ = new QLabel(QStringLiteral("Use as default ?"), fraDirectory_);
    lblQuest_->setObjectName(QStringLiteral("lblQuest"));
    optYes_ = new QRadioButton(QStringLiteral("Yes"), fraDirectory_);
    optYes_->setObjectName(QStringLiteral("optYes"));
    optNo_ = new QRadioButton(QStringLiteral("No"), fraDirectory_);
    optNo_->setObjectName(QStringLiteral("optNo"));
    optYes_->setChecked(true);
    auto* dirLayout = new QVBoxLayout(fraDirectory_);
    dirLayout->addWidget(lblDir_);
    auto* questRow = new QHBoxLayout;
    questRow->addWidget(lblQuest_);
    questRow->addWidget(optYes_);
    questRow->addWidget(optNo_);
    questRow->addStretch();
    dirLayout->addLayout(questRow);

    btnSet_ = new QPushButton(QStringLiteral("&Set"), this);
    btnSet_->setObjectName(QStringLiteral("btnSet"));
    btnSet_->setDefault(true);
    btnExit_ = new QPushButton(QStringLiteral("&Cancel"), this);
    btnExit_->setObjectName(QStringLiteral("btnExit"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSet_);
    buttons->addWidget(btnExit_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fraLang_);
    layout->addWidget(fraDirectory_);
    layout->addLayout(buttons);

    const ScreenMetrics& screen = *ctx_.services().screen;
    const TwipsLayout L(screen.twipsPerPixelX(), screen.twipsPerPixelY());
    setMinimumWidth(L.x(5400));

    connect(btnSet_, &QPushButton::clicked, this, &frmLang::btnSet_Click);
    connect(btnExit_, &QPushButton::clicked, this, &frmLang::btnExit_Click);

    texts_ = {
        {fraLang_, 35}, {optEnglish_, 36}, {optFrench_, 37}, {fraDirectory_, 38}, {lblQuest_, 39},
        {optYes_, 40}, {optNo_, 41}, {btnSet_, 42}, {btnExit_, 43},
    };
}

void frmLang::applyTexts()
{
    texts_.apply(ctx_);
}

bool frmLang::englishSelected() const { return optEnglish_->isChecked(); }

bool frmLang::frenchSelected() const { return optFrench_->isChecked(); }

void frmLang::Form_Load()
{
    adjustSize();
    centreOnScreen(this, *ctx_.services().screen);
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
    QString dir = ctx_.shell().browsedFolder();
    if (!dir.isEmpty())
        lblDir_->setText(namesIgnoreCase() ? CapitalizePath(dir) : dir);
    const QString lang = ctx_.store().read(AppContext::AppName, AppContext::LangSection, QStringLiteral("Lang"));
    if (lang == QLatin1String("French"))
        optFrench_->setChecked(true);
    else if (lang == QLatin1String("English"))
        optEnglish_->setChecked(true);
}

void frmLang::btnSet_Click()
{
    QString dir;
    if (optYes_->isChecked())
        dir = lblDir_->text();
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
