#include "window/DeviceButtonView.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace ondrava {

DeviceButtonView::DeviceButtonView(QWidget* parent) : QToolButton(parent)
{
    setCheckable(true);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

void DeviceButtonView::SetPicture(const QString& file, int imageCount)
{
    if (file == m_file && imageCount == m_count)
        return;
    m_file = file;
    m_count = qMax(1, imageCount);
    m_strip = QPixmap(file);
    update();
}

DeviceButtonView::Image DeviceButtonView::ShownImage() const
{
    if (!isEnabled())
        return Disabled;
    // Held under the mouse (or the space bar) before the click is complete.
    if (isDown())
        return Clicked;
    return isChecked() ? Down : Up;
}

void DeviceButtonView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_strip.isNull())
        return;
    const int w = m_strip.width() / m_count;
    const int index = int(ShownImage()) < m_count ? int(ShownImage()) : 0;
    const QRect source(index * w, 0, w, m_strip.height());
    const QRect target(QPoint((width() - w) / 2, (height() - m_strip.height()) / 2), source.size());
    p.drawPixmap(target, m_strip, source);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

}  // namespace ondrava
