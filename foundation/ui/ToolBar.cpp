#include "foundation/ui/ToolBar.h"

#include "foundation/untData.h"

#include <QIcon>
#include <QPixmap>
#include <QToolBar>
#include <QToolButton>

QToolBar *MakeToolBar(QWidget *parent, const QString &objectName)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(objectName);
    bar->setFixedHeight(48);
    bar->setMovable(false);
    bar->setIconSize(QSize(TImageList::Size, TImageList::Size));
    return bar;
}

QToolButton *AddToolButton(QToolBar *bar, const char *objectName, const QString &caption, const QString &hint,
                           int picture)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QLatin1String(objectName));
    button->setText(caption);
    button->setToolTip(hint);
    button->setIcon(QIcon(QPixmap::fromImage(frmData->Image.Image(picture))));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    bar->addWidget(button);
    return button;
}
