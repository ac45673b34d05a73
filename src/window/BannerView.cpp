#include "window/BannerView.h"

#include <QLinearGradient>
#include <QPainter>

namespace ondrava {

void BannerView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);

    QLinearGradient across(r.topLeft(), r.topRight());
    across.setColorAt(0.0, QColor(0x1d, 0x4e, 0x89));
    across.setColorAt(0.55, QColor(0x2f, 0x7c, 0xc4));
    across.setColorAt(1.0, QColor(0x5a, 0xb0, 0xe6));
    p.setPen(QColor(0x17, 0x3f, 0x70));
    p.setBrush(across);
    p.drawRoundedRect(r, 4, 4);

    // A light sheen on the upper half.
    QLinearGradient sheen(r.topLeft(), QPointF(r.left(), r.center().y()));
    sheen.setColorAt(0.0, QColor(255, 255, 255, 70));
    sheen.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sheen);
    p.drawRoundedRect(QRectF(r.left() + 1, r.top() + 1, r.width() - 2, r.height() / 2), 3, 3);
}

}  // namespace ondrava
