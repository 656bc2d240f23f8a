#include "shell/Commands.h"
#include "shell/untMain.h"

#include <QWidget>

QWidget *CreateWorkspaceForm(const QString &formName, QWidget *parent)
{
    Q_UNUSED(parent);
    Q_UNUSED(formName);
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
