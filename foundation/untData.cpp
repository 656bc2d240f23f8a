#include "foundation/untData.h"

#include "foundation/untPublic.h"

#include <QPainter>
#include <QPainterPath>

TfrmData *frmData = nullptr;

TfrmData::TfrmData(QObject *owner) : QObject(owner), rdPublic(&rdConn), rdProc(&rdConn)
{
    frmData = this;
    DataModuleCreate();
}

void TfrmData::DataModuleCreate()
{
    rdConn.Server = SysSet.DbServer;
    rdConn.Port = SysSet.DbPort.toInt();
    rdConn.Database = SysSet.DbName;
    rdConn.Username = SysSet.DbUser;
    rdConn.Password = SysSet.DbPassword;
}

namespace {

// A small flat glyph on a transparent 16 x 16 image; the shape and hue follow the index so
// every picture differs, with the pictures the tool bars use drawn as recognisable symbols.
QImage DrawPicture(int index)
{
    QImage img(TImageList::Size, TImageList::Size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor hue = QColor::fromHsv((index * 37) % 360, 170, 200);
    const QColor dark = hue.darker(160);
    p.setPen(QPen(dark, 1.2));
    p.setBrush(hue);
    switch (index) {
    case 9:  // search: magnifier
    case 25: // quick search: magnifier, filled
        p.setBrush(index == 25 ? QColor(250, 215, 90) : QColor(220, 235, 250));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        p.setPen(QPen(dark, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
        break;
    case 13: // exit: door with arrow
        p.setBrush(QColor(240, 220, 190));
        p.drawRect(QRectF(2.5, 1.5, 8, 13));
        p.setPen(QPen(QColor(200, 40, 40), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 8), QPointF(15, 8));
        p.drawLine(QPointF(12, 5), QPointF(15, 8));
        p.drawLine(QPointF(12, 11), QPointF(15, 8));
        break;
    case 21: // edit: pencil
        p.setPen(QPen(dark, 1));
        p.setBrush(QColor(250, 200, 60));
        p.drawPolygon(
            QPolygonF{QPointF(3, 13), QPointF(4, 9.5), QPointF(11.5, 2), QPointF(14, 4.5), QPointF(6.5, 12)});
        break;
    case 22: // delete: cross
        p.setPen(QPen(QColor(200, 40, 40), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case 23: // add: plus
        p.setPen(QPen(QColor(30, 150, 60), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
        p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
        break;
    case 24: // price: coin
        p.setBrush(QColor(245, 200, 50));
        p.drawEllipse(QRectF(2, 2, 12, 12));
        p.drawLine(QPointF(8, 5), QPointF(8, 11));
        break;
    default: {
        const int shape = index % 4;
        if (shape == 0)
            p.drawRoundedRect(QRectF(2.5, 2.5, 11, 11), 2, 2);
        else if (shape == 1)
            p.drawEllipse(QRectF(2.5, 2.5, 11, 11));
        else if (shape == 2)
            p.drawPolygon(QPolygonF{QPointF(8, 2), QPointF(14, 13.5), QPointF(2, 13.5)});
        else
            p.drawPolygon(QPolygonF{QPointF(8, 1.5), QPointF(14.5, 8), QPointF(8, 14.5), QPointF(1.5, 8)});
        // Dots count the index within its shape group, so pictures stay distinct.
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        const int dots = 1 + (index / 4) % 4;
        for (int d = 0; d < dots; ++d)
            p.drawEllipse(QRectF(4.5 + d * 2, 7, 1.6, 1.6));
        break;
    }
    }
    return img;
}

} // namespace

TImageList::TImageList()
{
    for (int i = 0; i < 60; ++i)
        m_images << DrawPicture(i);
}
