#include "shell/panel_pictures.h"

#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace pictures {
namespace {

// A lever switch drawn when the picture files are not beside the program.
QPixmap drawnSwitch(bool on)
{
    QPixmap pm(30, 41);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(90, 90, 90));
    p.drawRoundedRect(QRectF(3.5, 1.5, 23, 38), 4, 4);
    p.setBrush(on ? QColor(0, 200, 0) : QColor(200, 0, 0));
    const QRectF knob = on ? QRectF(7.5, 5.5, 15, 14) : QRectF(7.5, 21.5, 15, 14);
    p.drawRoundedRect(knob, 3, 3);
    p.setPen(Qt::white);
    QFont f(QStringLiteral("DejaVu Sans"), 5, QFont::Bold);
    p.setFont(f);
    p.drawText(on ? QRectF(4, 21, 22, 14) : QRectF(4, 6, 22, 14), Qt::AlignCenter,
               on ? QStringLiteral("ON") : QStringLiteral("OFF"));
    return pm;
}

}  // namespace

QPixmap title()
{
    QPixmap pm(284, 57);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, 57);
    g.setColorAt(0, QColor(20, 40, 110));
    g.setColorAt(1, QColor(60, 110, 190));
    p.fillRect(pm.rect(), g);
    p.setPen(QColor(255, 220, 80));
    QFont big(QStringLiteral("DejaVu Sans"), 20, QFont::Bold);
    p.setFont(big);
    p.drawText(QRect(0, 2, 284, 34), Qt::AlignCenter, QStringLiteral("PRAMELOR"));
    p.setPen(Qt::white);
    QFont small(QStringLiteral("DejaVu Sans"), 8);
    p.setFont(small);
    p.drawText(QRect(0, 34, 284, 20), Qt::AlignCenter, QStringLiteral("carte d'expérimentation PIC 16F877"));
    return pm;
}

QPixmap masterSwitch(const QString &programDir, bool on)
{
    const QString path = programDir + (on ? QStringLiteral("/int2_on.dib") : QStringLiteral("/int2_off.dib"));
    QImage img;
    if (QFileInfo::exists(path) && img.load(path, "BMP")) return QPixmap::fromImage(img);
    return drawnSwitch(on);
}

}  // namespace pictures
