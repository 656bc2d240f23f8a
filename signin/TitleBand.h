#pragma once
#include <QPixmap>
#include <QRect>
#include <QString>

class QFrame;
class QLabel;
class QWidget;

// The white band across the top of the sign-in dialogs: a bold title, a note under it and a
// picture at the right, with a thin rule under the band.
struct TitleBand {
    QFrame *shpBack;
    QLabel *lbMark;
    QLabel *lbInfo;
    QLabel *imgLogo;
    QFrame *spTitle;
};

// width and height: the band's; info: where the note goes; logo: where the picture goes.
TitleBand MakeTitleBand(QWidget *dialog, int width, int height, const QString &title, int titleSize,
                        const QString &info, const QRect &infoGeometry, const QPixmap &picture,
                        const QRect &logoGeometry);
