#include "shell/Commands.h"
#include "shell/untMain.h"

#include "merchants/untAction.h"
#include "merchants/untInfo.h"
#include "merchants/untShop.h"
#include "merchants/untShopAll.h"
#include "shell/untAbout.h"
#include "signin/untPassword.h"
#include "stock/untStock.h"

#include <QWidget>

QWidget *CreateWorkspaceForm(const QString &formName, QWidget *parent)
{
    if (formName == QLatin1String("frmStock")) return new TfrmStock(parent);
    if (formName == QLatin1String("frmShopAll")) return new TfrmShopAll(parent);
    return nullptr;
}

bool RunDialogForm(const QString &formName)
{
    if (formName == QLatin1String("frmAction")) return TfrmAction::Execute(), true;
    if (formName == QLatin1String("frmShop")) return TfrmShop::Execute(), true;
    if (formName == QLatin1String("frmInfo")) return TfrmInfo::Execute(), true;
    if (formName == QLatin1String("frmPassword")) return TfrmPassword::Execute(), true;
    if (formName == QLatin1String("frmAbout")) return TfrmAbout::Execute(), true;
    return false;
}

void CloseCommand(const QString &formName)
{
    if (frmMain) frmMain->CloseCommand(formName);
}
