#include "window/PageScrollerView.h"

#include <QEvent>
#include <QToolButton>
#include <QWheelEvent>

namespace ondrava {

PageScrollerView::PageScrollerView(QWidget* parent)
    : QWidget(parent), m_panel(new QWidget(this)), m_left(new QToolButton(this)),
      m_right(new QToolButton(this))
{
    m_left->setArrowType(Qt::LeftArrow);
    m_right->setArrowType(Qt::RightArrow);
    for (QToolButton* b : {m_left, m_right}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);
    }
    connect(m_left, &QToolButton::clicked, this, [this] { UserScroll(-Step()); });
    connect(m_right, &QToolButton::clicked, this, [this] { UserScroll(Step()); });
    m_hover.setInterval(kHoverIntervalMs);
    connect(&m_hover, &QTimer::timeout, this, [this] { HoverStep(); });
    // The panel's size is set from outside; follow it.
    m_panel->installEventFilter(this);
    Place();
}

int PageScrollerView::MaxPosition() const
{
    return qMax(0, m_panel->width() - width());
}

void PageScrollerView::SetPosition(int position)
{
    m_position = qBound(0, position, MaxPosition());
    Place();
}

void PageScrollerView::UserScroll(int delta)
{
    const int wanted = qBound(0, m_position + delta, MaxPosition());
    if (wanted == m_position)
        return;
    if (OnScroll)
        OnScroll(wanted);
    else
        SetPosition(wanted);
}

void PageScrollerView::Place()
{
    m_position = qBound(0, m_position, MaxPosition());
    m_panel->move(-m_position, 0);
    m_left->setGeometry(0, 0, kButtonWidth, height());
    m_right->setGeometry(width() - kButtonWidth, 0, kButtonWidth, height());
    m_left->setVisible(m_position > 0);
    m_right->setVisible(m_position < MaxPosition());
    m_left->raise();
    m_right->raise();
}

void PageScrollerView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Place();
}

void PageScrollerView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int steps = (delta.x() != 0 ? delta.x() : delta.y()) / 120;
    if (steps != 0)
        UserScroll(-steps * kStep * 3);
    event->accept();
}

void PageScrollerView::HoverStep()
{
    QToolButton* arrow = m_hoverDirection < 0 ? m_left : m_right;
    // Held down, the arrow repeats its clicks itself.
    if (m_hoverDirection == 0 || !isEnabled() || arrow->isDown() || !arrow->isVisible()) {
        if (m_hoverDirection == 0 || !arrow->isVisible())
            m_hover.stop();
        return;
    }
    UserScroll(m_hoverDirection * Step());
}

bool PageScrollerView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_left || watched == m_right) {
        if (event->type() == QEvent::Enter) {
            m_hoverDirection = watched == m_left ? -1 : 1;
            m_hover.start();
        } else if (event->type() == QEvent::Leave || event->type() == QEvent::Hide) {
            m_hoverDirection = 0;
            m_hover.stop();
        }
        return QWidget::eventFilter(watched, event);
    }
    if (watched == m_panel && event->type() == QEvent::Resize)
        Place();
    return QWidget::eventFilter(watched, event);
}

}  // namespace ondrava
