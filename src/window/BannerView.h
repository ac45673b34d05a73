#pragma once
// The banner behind the "convert to" heading: a soft gradient band.
#include <QWidget>

namespace ondrava {

class BannerView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace ondrava
