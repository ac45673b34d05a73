#pragma once
// A strip that shows part of a wider panel and scrolls it sideways with two small arrow
// buttons, each shown only while there is more to see on its side. It also scrolls by itself
// while the mouse rests on an arrow.
#include <QTimer>
#include <QWidget>

#include <functional>

class QToolButton;

namespace ondrava {

class PageScrollerView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kButtonWidth = 15;
    static constexpr int kStep = 13;
    // How often the strip moves a step while the mouse rests on an arrow.
    static constexpr int kHoverIntervalMs = 60;

    explicit PageScrollerView(QWidget* parent = nullptr);

    // The scrolled panel; its size is the owner's business.
    QWidget* Panel() const { return m_panel; }
    int Position() const { return m_position; }
    int MaxPosition() const;
    // Moves the panel without reporting it.
    void SetPosition(int position);
    // Called when the user scrolls, with the wanted position.
    std::function<void(int)> OnScroll;
    // Asked for the size of each step; kStep when unset.
    std::function<int()> StepSize;

    QToolButton* LeftButton() const { return m_left; }
    QToolButton* RightButton() const { return m_right; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UserScroll(int delta);
    int Step() const { return StepSize ? StepSize() : kStep; }
    void Place();
    void HoverStep();

    QWidget* m_panel;
    QToolButton* m_left;
    QToolButton* m_right;
    int m_position = 0;
    QTimer m_hover;
    int m_hoverDirection = 0;  // -1 left, +1 right, 0 while the mouse is on neither arrow
};

}  // namespace ondrava
