#pragma once
#include <QString>

class QToolBar;
class QToolButton;
class QWidget;

// The workspace tool bars: 48 pixels high, pictures from the data module's image list above
// their captions, hints shown. Their buttons never take the focus from the grid.
QToolBar *MakeToolBar(QWidget *parent, const QString &objectName);
QToolButton *AddToolButton(QToolBar *bar, const char *objectName, const QString &caption, const QString &hint,
                           int picture);
