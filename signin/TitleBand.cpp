#include "signin/TitleBand.h"

#include "foundation/ui/untDialog.h"

#include <QFrame>
#include <QLabel>

TitleBand MakeTitleBand(QWidget *dialog, int width, int height, const QString &title, int titleSize,
                        const QString &info, const QRect &infoGeometry, const QPixmap &picture,
                        const QRect &logoGeometry)
{
    TitleBand band;
    band.shpBack = new QFrame(dialog);
    band.shpBack->setObjectName(QStringLiteral("shpBack"));
    band.shpBack->setGeometry(0, 0, width, height);
    band.shpBack->setStyleSheet(QStringLiteral("QFrame#shpBack { background: white; }"));

    band.lbMark = new QLabel(title, band.shpBack);
    band.lbMark->setObjectName(QStringLiteral("lbMark"));
    band.lbMark->setFont(DialogFont(titleSize, true));
    band.lbMark->setGeometry(14, 8, 200, titleSize + 6);

    band.lbInfo = new QLabel(info, band.shpBack);
    band.lbInfo->setObjectName(QStringLiteral("lbInfo"));
    band.lbInfo->setFont(DialogFont(12));
    band.lbInfo->setWordWrap(true);
    band.lbInfo->setGeometry(infoGeometry);

    band.imgLogo = new QLabel(band.shpBack);
    band.imgLogo->setObjectName(QStringLiteral("imgLogo"));
    band.imgLogo->setGeometry(logoGeometry);
    band.imgLogo->setPixmap(picture);

    band.spTitle = new QFrame(dialog);
    band.spTitle->setObjectName(QStringLiteral("spTitle"));
    band.spTitle->setGeometry(0, height, width, 5);
    band.spTitle->setStyleSheet(
        QStringLiteral("QFrame#spTitle { background: qlineargradient(x1:0, y1:0, x2:1, y2:0, "
                       "stop:0 rgb(51,51,153), stop:1 rgb(247,245,245)); }"));
    return band;
}
