#pragma once
// A device button on the desktop: its picture holds four images side by side (up, disabled,
// clicked, down) and the button shows the one of its state.
#include <QPixmap>
#include <QToolButton>

namespace ondrava {

class DeviceButtonView : public QToolButton {
    Q_OBJECT
public:
    enum Image { Up = 0, Disabled = 1, Clicked = 2, Down = 3 };

    explicit DeviceButtonView(QWidget* parent = nullptr);

    // Loads the picture; a picture of fewer images shows its first one for the missing states.
    void SetPicture(const QString& file, int imageCount);
    // The image the button shows now.
    Image ShownImage() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_file;
    QPixmap m_strip;
    int m_count = 1;
};

}  // namespace ondrava
