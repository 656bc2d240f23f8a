#include "shell/Commands.h"
#include "shell/untMain.h"

#include "stock/untStock.h"

#include <QWidget>

QWidget *CreateWorkspaceForm(const QString &formName, QWidget *parent)
{
    if (formName == QLatin1String("frmStock")) return new TfrmStock(parent);
    return nullptr;
}

bool RunDialogForm(const QString &formName)
{
    Q_UNUSED(formName);
    return false;
}

void CloseCommand(const QString &formName)
{
    if (frmMain) frmMain->CloseCommand(formName);
}
