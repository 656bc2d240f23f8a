// Draws the program's own pictures into resources/: the login and dialog logo, the main window's
// banner, the default desktop picture and the strip of 31 navigation icons (32 x 32 each).
// Build and run once after changing a picture:
//   g++ -std=c++20 -fPIC make_pictures.cpp $(pkg-config --cflags --libs Qt6Gui) -o /tmp/make_pictures
//   QT_QPA_PLATFORM=offscreen /tmp/make_pictures /work/main/resources
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

QPainterPath Gear(QPointF c, double outer, double inner, int teeth, double hole)
{
    QPainterPath path;
    const int n = teeth * 4;
    for (int i = 0; i <= n; ++i) {
        const double a = 2 * M_PI * i / n;
        const double r = (i % 4 == 0 || i % 4 == 1) ? outer : inner;
        const QPointF p(c.x() + r * qCos(a), c.y() + r * qSin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    QPainterPath h;
    h.addEllipse(c, hole, hole);
    return path.subtracted(h);
}

QImage Logo()
{
    QImage img(48, 48, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 48);
    g.setColorAt(0, QColor(70, 130, 200));
    g.setColorAt(1, QColor(35, 75, 140));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, 46, 46), 9, 9);
    p.setBrush(QColor(255, 255, 255, 235));
    p.drawPath(Gear(QPointF(20, 21), 14, 10.5, 9, 4.5));
    p.setBrush(QColor(250, 190, 60));
    p.drawPath(Gear(QPointF(34, 34), 8.5, 6.3, 7, 2.5));
    return img;
}

QImage Banner()
{
    QImage img(1200, 75, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 1200, 0);
    g.setColorAt(0, QColor(250, 251, 253));
    g.setColorAt(0.55, QColor(225, 234, 246));
    g.setColorAt(1, QColor(150, 180, 220));
    p.fillRect(img.rect(), g);
    // A road running to the right edge.
    p.setPen(QPen(QColor(255, 255, 255, 160), 3, Qt::DashLine));
    p.drawLine(QPointF(700, 60), QPointF(1200, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 100, 160, 40));
    p.drawPath(Gear(QPointF(1080, 30), 52, 42, 12, 16));
    p.setBrush(QColor(60, 100, 160, 28));
    p.drawPath(Gear(QPointF(990, 62), 30, 24, 10, 9));
    p.setBrush(QColor(51, 51, 153));
    p.drawRect(0, 72, 1200, 3);
    return img;
}

QImage Desktop()
{
    QImage img(1280, 800, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(900, 250), 1100);
    g.setColorAt(0, QColor(92, 142, 200));
    g.setColorAt(1, QColor(40, 80, 135));
    p.fillRect(img.rect(), g);
    // The alliance: dealers joined in a network.
    const QList<QPointF> nodes{{180, 560}, {340, 420}, {520, 600}, {610, 380}, {800, 520}, {930, 330},
                               {1100, 470}, {760, 240}, {420, 250}, {1030, 650}, {260, 700}};
    p.setPen(QPen(QColor(255, 255, 255, 55), 2));
    for (int i = 0; i < nodes.size(); ++i)
        for (int j = i + 1; j < nodes.size(); ++j)
            if (QLineF(nodes[i], nodes[j]).length() < 260) p.drawLine(nodes[i], nodes[j]);
    p.setPen(Qt::NoPen);
    for (const QPointF &n : nodes) {
        p.setBrush(QColor(255, 255, 255, 40));
        p.drawEllipse(n, 16, 16);
        p.setBrush(QColor(255, 215, 110));
        p.drawEllipse(n, 6, 6);
    }
    p.setBrush(QColor(255, 255, 255, 22));
    p.drawPath(Gear(QPointF(1120, 160), 150, 122, 14, 50));
    p.drawPath(Gear(QPointF(930, 110), 80, 64, 11, 24));
    return img;
}

// One navigation icon. The seven the navigation bar shows get their own symbols; the rest are
// plain badges so that every index has a distinct picture.
void Icon(QPainter &p, int index)
{
    const QColor hue = QColor::fromHsv((index * 47) % 360, 150, 235);
    p.setPen(Qt::NoPen);
    QLinearGradient g(0, 0, 0, 32);
    g.setColorAt(0, hue.lighter(125));
    g.setColorAt(1, hue.darker(115));
    const QPen outline(QColor(255, 255, 255), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (index) {
    case 13: { // stock: stacked boxes
        const QColor box(235, 180, 95), edge(150, 95, 40);
        p.setPen(QPen(edge, 1.2));
        for (const QRectF &r : {QRectF(3, 16, 12, 12), QRectF(16, 16, 12, 12), QRectF(9.5, 4, 12, 12)}) {
            p.setBrush(box);
            p.drawRect(r);
            p.drawLine(QPointF(r.left() + 3, r.top() + 3), QPointF(r.right() - 3, r.top() + 3));
        }
        break;
    }
    case 0: { // merchant management: shield with a tick
        QPainterPath s;
        s.moveTo(16, 2);
        s.lineTo(28, 6);
        s.cubicTo(28, 18, 24, 25, 16, 30);
        s.cubicTo(8, 25, 4, 18, 4, 6);
        s.closeSubpath();
        p.setBrush(QColor(70, 140, 220));
        p.setPen(QPen(QColor(30, 70, 140), 1.4));
        p.drawPath(s);
        p.setPen(outline);
        p.drawPolyline(QPolygonF{QPointF(10, 16), QPointF(14.5, 21), QPointF(22, 11)});
        break;
    }
    case 18: { // directory: address book
        p.setBrush(QColor(60, 150, 110));
        p.setPen(QPen(QColor(25, 90, 60), 1.2));
        p.drawRoundedRect(QRectF(6, 2.5, 21, 27), 2.5, 2.5);
        p.setBrush(Qt::white);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(16.5, 12), 4, 4);
        p.drawChord(QRectF(9.5, 16.5, 14, 12), 0, 180 * 16);
        p.setBrush(QColor(200, 200, 200));
        for (int y : {7, 13, 19, 25})
            p.drawRect(QRectF(3.5, y - 1, 5, 2));
        break;
    }
    case 25: { // merchant information: card with lines
        p.setBrush(QColor(250, 250, 245));
        p.setPen(QPen(QColor(90, 110, 140), 1.4));
        p.drawRoundedRect(QRectF(3, 6, 26, 20), 2.5, 2.5);
        p.setBrush(QColor(240, 150, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(6.5, 10, 8, 8));
        p.setPen(QPen(QColor(90, 110, 140), 1.8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 12), QPointF(25, 12));
        p.drawLine(QPointF(17, 16.5), QPointF(25, 16.5));
        p.drawLine(QPointF(7, 21.5), QPointF(25, 21.5));
        break;
    }
    case 17: { // users and permissions: two people
        for (const auto &[x, c] : {std::pair{20.5, QColor(110, 160, 230)}, std::pair{11.5, QColor(50, 110, 200)}}) {
            p.setBrush(c);
            p.setPen(QPen(c.darker(140), 1));
            p.drawEllipse(QPointF(x, 10), 5, 5);
            p.drawChord(QRectF(x - 9, 16, 18, 18), 0, 180 * 16);
        }
        break;
    }
    case 19: { // password: key
        p.setBrush(QColor(245, 195, 60));
        p.setPen(QPen(QColor(160, 110, 20), 1.4));
        QPainterPath k;
        k.addEllipse(QPointF(10, 12), 7.5, 7.5);
        QPainterPath hole;
        hole.addEllipse(QPointF(9, 11), 2.5, 2.5);
        QPainterPath shaft;
        shaft.addRect(QRectF(14, 14, 15, 4));
        shaft.addRect(QRectF(22, 18, 3, 5));
        shaft.addRect(QRectF(26.5, 18, 2.5, 4));
        p.drawPath(k.united(shaft).subtracted(hole));
        break;
    }
    case 30: { // about: question mark in a circle
        QRadialGradient r(QPointF(12, 10), 18);
        r.setColorAt(0, QColor(120, 185, 245));
        r.setColorAt(1, QColor(30, 95, 180));
        p.setBrush(r);
        p.setPen(QPen(QColor(20, 60, 130), 1.2));
        p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
        p.setPen(outline);
        QPainterPath q;
        q.moveTo(11.5, 12);
        q.cubicTo(11.5, 6.5, 20.5, 6.5, 20.5, 11.5);
        q.cubicTo(20.5, 15, 16, 15.5, 16, 19);
        p.setBrush(Qt::NoBrush);
        p.drawPath(q);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(16, 23.5), 1.8, 1.8);
        break;
    }
    default: {
        p.setBrush(g);
        p.setPen(QPen(hue.darker(150), 1.2));
        switch (index % 3) {
        case 0: p.drawRoundedRect(QRectF(4, 4, 24, 24), 5, 5); break;
        case 1: p.drawEllipse(QRectF(4, 4, 24, 24)); break;
        default: p.drawPolygon(QPolygonF{QPointF(16, 3), QPointF(29, 16), QPointF(16, 29), QPointF(3, 16)});
        }
        // Bars count the index, so no two badges look alike.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        const int bars = 1 + index % 4;
        for (int b = 0; b < bars; ++b)
            p.drawRoundedRect(QRectF(10 + b * 3.4, 20 - (b + 1) * 2.5, 2.4, (b + 1) * 2.5 + 2), 1, 1);
        break;
    }
    }
}

QImage NavIcons()
{
    QImage img(31 * 32, 32, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 31; ++i) {
        p.save();
        p.translate(i * 32, 0);
        p.setClipRect(0, 0, 32, 32);
        Icon(p, i);
        p.restore();
    }
    return img;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    bool ok = Logo().save(dir + "/logo.png") && Banner().save(dir + "/banner.png") &&
              Desktop().save(dir + "/desktop.jpg", "JPG", 88) && NavIcons().save(dir + "/navicons.png");
    return ok ? 0 : 1;
}
