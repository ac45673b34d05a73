// Draws the device button pictures into data/images: for each catalogue device one 24-bit BMP
// with four 64x64 images side by side (up, disabled, clicked, down), plus the shared fallback
// picture for devices without their own. Each device's picture carries a short form of its
// name under the drawing, so that devices of one kind (two phones, two TV sticks) can be told
// apart without a hint. Usage: ondrava_device_pictures <images folder>
#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRectF>
#include <cstdio>
#include <functional>

namespace {

constexpr int kSide = 64;
const QColor kFace(0xF0, 0xF0, 0xF0);  // the button face; also the colour of the corner pixel

enum class Kind { Phone, Tablet, Gamepad, Handheld, TvBox, TvStick, EReader, AudioPlayer, Generic };

struct Picture {
    const char* idName;  // "" for the shared fallback picture
    Kind kind;
    QColor accent;
    const char* label;   // the name as the button shows it; "" for the fallback picture
};

const Picture kPictures[] = {
    {"iphone", Kind::Phone, QColor(0x4A, 0x6F, 0xA5), "iPhone"},
    {"ipad", Kind::Tablet, QColor(0x2E, 0x9C, 0x9A), "iPad"},
    {"samsunggalaxy", Kind::Phone, QColor(0x1E, 0x5B, 0xD8), "Galaxy"},
    {"googlepixel", Kind::Phone, QColor(0x34, 0xA8, 0x53), "Pixel"},
    {"samsunggalaxytab", Kind::Tablet, QColor(0x3F, 0x51, 0xB5), "Galaxy Tab"},
    {"amazonfirehd10", Kind::Tablet, QColor(0xF2, 0x8C, 0x28), "Fire HD 10"},
    {"onyxboox", Kind::EReader, QColor(0x55, 0x55, 0x55), "Boox"},
    {"playstation5", Kind::Gamepad, QColor(0x1F, 0x4E, 0xB4), "PS5"},
    {"xboxseriesx", Kind::Gamepad, QColor(0x10, 0x7C, 0x10), "Xbox X"},
    {"steamdeck", Kind::Handheld, QColor(0x1A, 0x9F, 0xFF), "Steam Deck"},
    {"appletv4k", Kind::TvBox, QColor(0x60, 0x60, 0x68), "Apple TV"},
    {"firetvstick", Kind::TvStick, QColor(0xF2, 0x8C, 0x28), "Fire TV"},
    {"chromecast", Kind::TvStick, QColor(0xDB, 0x44, 0x37), "Chromecast"},
    {"sonywalkman", Kind::AudioPlayer, QColor(0xE8, 0x6A, 0x1C), "Walkman"},
    {"mp3player", Kind::AudioPlayer, QColor(0x8E, 0x44, 0xAD), "MP3"},
    {"", Kind::Generic, QColor(0x3D, 0x7E, 0xC8), ""},
};

QLinearGradient Vertical(const QRectF& r, const QColor& c)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.lighter(135));
    g.setColorAt(1, c.darker(115));
    return g;
}

void Body(QPainter& p, const QRectF& r, qreal radius, const QColor& c)
{
    p.setPen(QPen(c.darker(170), 1.2));
    p.setBrush(Vertical(r, c));
    p.drawRoundedRect(r, radius, radius);
}

void Screen(QPainter& p, const QRectF& r, const QColor& accent, qreal radius = 1.5)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, accent.lighter(160));
    g.setColorAt(1, accent.darker(110));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

void PlayMark(QPainter& p, QPointF c, qreal size, const QColor& colour = Qt::white)
{
    const QPolygonF tri{QPointF(c.x() - size * 0.4, c.y() - size * 0.5),
                        QPointF(c.x() - size * 0.4, c.y() + size * 0.5),
                        QPointF(c.x() + size * 0.5, c.y())};
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(tri);
}

void MusicNote(QPainter& p, QPointF c, qreal s, const QColor& colour)
{
    p.setPen(QPen(colour, s * 0.14, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(colour);
    p.drawEllipse(QPointF(c.x() - s * 0.25, c.y() + s * 0.35), s * 0.2, s * 0.15);
    p.drawLine(QPointF(c.x() - s * 0.07, c.y() + s * 0.35), QPointF(c.x() - s * 0.07, c.y() - s * 0.45));
    p.drawLine(QPointF(c.x() - s * 0.07, c.y() - s * 0.45), QPointF(c.x() + s * 0.3, c.y() - s * 0.2));
}

void DrawPhone(QPainter& p, const QColor& accent)
{
    const QRectF body(19, 6, 26, 52);
    Body(p, body, 5, QColor(0x2B, 0x2F, 0x36));
    Screen(p, body.adjusted(2.5, 5, -2.5, -5), accent, 2);
    p.setBrush(QColor(0x10, 0x10, 0x12));
    p.drawEllipse(QPointF(32, 8.6), 1.3, 1.3);
    p.setPen(QPen(QColor(0xC8, 0xC8, 0xC8), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(28, 55.5), QPointF(36, 55.5));
    PlayMark(p, QPointF(32.5, 32), 10);
}

void DrawTablet(QPainter& p, const QColor& accent)
{
    const QRectF body(5, 12, 54, 40);
    Body(p, body, 4.5, QColor(0x3A, 0x3E, 0x46));
    Screen(p, body.adjusted(5, 3.5, -5, -3.5), accent, 1.5);
    p.setBrush(QColor(0x15, 0x15, 0x18));
    p.drawEllipse(QPointF(7.5, 32), 1.2, 1.2);
    PlayMark(p, QPointF(32.5, 32), 12);
}

void DrawGamepad(QPainter& p, const QColor& accent)
{
    QPainterPath pad;
    pad.moveTo(14, 20);
    pad.cubicTo(22, 16, 42, 16, 50, 20);
    pad.cubicTo(58, 24, 62, 44, 58, 49);
    pad.cubicTo(54, 54, 47, 48, 43, 42);
    pad.lineTo(21, 42);
    pad.cubicTo(17, 48, 10, 54, 6, 49);
    pad.cubicTo(2, 44, 6, 24, 14, 20);
    p.setPen(QPen(accent.darker(200), 1.2));
    p.setBrush(Vertical(pad.boundingRect(), accent));
    p.drawPath(pad);
    // direction pad
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x22, 0x22, 0x26));
    p.drawRoundedRect(QRectF(14, 26.5, 11, 4), 1, 1);
    p.drawRoundedRect(QRectF(17.5, 23, 4, 11), 1, 1);
    // face buttons
    const QColor buttons[] = {QColor(0xF5, 0xC5, 0x18), QColor(0xE0, 0x3C, 0x31), QColor(0x2E, 0xA0, 0x43),
                              QColor(0x2F, 0x74, 0xD0)};
    const QPointF at[] = {QPointF(45, 23.5), QPointF(49.5, 28), QPointF(45, 32.5), QPointF(40.5, 28)};
    for (int i = 0; i < 4; ++i) {
        p.setBrush(buttons[i]);
        p.drawEllipse(at[i], 2.2, 2.2);
    }
    // sticks
    p.setBrush(QColor(0x30, 0x30, 0x35));
    p.drawEllipse(QPointF(25, 37), 3.4, 3.4);
    p.drawEllipse(QPointF(39, 37), 3.4, 3.4);
}

void DrawHandheld(QPainter& p, const QColor& accent)
{
    const QRectF body(3, 19, 58, 27);
    Body(p, body, 8, QColor(0x34, 0x36, 0x3B));
    Screen(p, QRectF(17, 22, 30, 20), accent, 1);
    PlayMark(p, QPointF(32.5, 32), 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x1A, 0x1A, 0x1D));
    p.drawEllipse(QPointF(10, 26), 3, 3);
    p.drawEllipse(QPointF(54, 26), 3, 3);
    p.setBrush(QColor(0x55, 0x58, 0x60));
    p.drawRoundedRect(QRectF(7, 34, 6, 6), 1, 1);
    p.drawRoundedRect(QRectF(51, 34, 6, 6), 1, 1);
}

void DrawTv(QPainter& p, const QColor& accent)
{
    const QRectF tv(6, 9, 52, 34);
    Body(p, tv, 2.5, QColor(0x25, 0x27, 0x2C));
    Screen(p, tv.adjusted(2.5, 2.5, -2.5, -2.5), accent, 1);
    p.setPen(QPen(QColor(0x50, 0x52, 0x58), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(32, 43), QPointF(32, 48));
    p.drawLine(QPointF(24, 48.5), QPointF(40, 48.5));
    PlayMark(p, QPointF(32.5, 26), 11);
}

void DrawTvBox(QPainter& p, const QColor& accent)
{
    DrawTv(p, accent);
    const QRectF box(34, 47, 24, 10);
    Body(p, box, 2.5, QColor(0x2A, 0x2A, 0x2E));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6C, 0xE0, 0x6C));
    p.drawEllipse(QPointF(54.5, 52), 1, 1);
}

void DrawTvStick(QPainter& p, const QColor& accent)
{
    DrawTv(p, accent);
    // a streaming stick plugged in at the side, with its remote in front
    const QRectF stick(56, 30, 5, 14);
    Body(p, stick, 1.5, accent.darker(120));
    const QRectF remote(12, 46, 9, 16);
    Body(p, remote, 3, QColor(0x33, 0x33, 0x38));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xB0, 0xB0, 0xB8));
    p.drawEllipse(QPointF(16.5, 50.5), 2.4, 2.4);
}

void DrawEReader(QPainter& p, const QColor& accent)
{
    const QRectF body(14, 5, 36, 54);
    Body(p, body, 4, QColor(0xE4, 0xE1, 0xD8));
    const QRectF page = body.adjusted(3.5, 4, -3.5, -8);
    p.setPen(QPen(QColor(0x9A, 0x97, 0x8E), 0.8));
    p.setBrush(QColor(0xF7, 0xF5, 0xEC));
    p.drawRect(page);
    p.setPen(QPen(accent, 1.4));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(page.left() + 3, page.top() + 4 + i * 4), QPointF(page.right() - 3 - (i % 2) * 5, page.top() + 4 + i * 4));
    PlayMark(p, QPointF(32.5, page.bottom() - 11), 10, accent);
    p.setPen(QPen(QColor(0x9A, 0x97, 0x8E), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(28, 55), QPointF(36, 55));
}

void DrawAudioPlayer(QPainter& p, const QColor& accent)
{
    // earphone cable first so that the player covers its end
    QPainterPath cable;
    cable.moveTo(24, 10);
    cable.cubicTo(18, 2, 8, 10, 10, 24);
    cable.moveTo(24, 10);
    cable.cubicTo(22, 4, 12, 6, 15, 30);
    p.setPen(QPen(QColor(0x44, 0x44, 0x48), 1.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(cable);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x34));
    p.drawEllipse(QPointF(10, 26), 3.2, 3.2);
    p.drawEllipse(QPointF(15, 32), 3.2, 3.2);
    const QRectF body(22, 9, 28, 48);
    Body(p, body, 5, accent);
    Screen(p, QRectF(25.5, 13, 21, 17), QColor(0x2A, 0x2D, 0x34), 1.5);
    MusicNote(p, QPointF(36, 21.5), 12, QColor(0xF0, 0xF0, 0xF0));
    p.setPen(QPen(accent.darker(160), 1));
    p.setBrush(accent.lighter(125));
    p.drawEllipse(QPointF(36, 44), 8.5, 8.5);
    p.setBrush(accent.darker(110));
    p.drawEllipse(QPointF(36, 44), 3, 3);
}

void DrawGeneric(QPainter& p, const QColor& accent)
{
    const QRectF frame(8, 12, 48, 40);
    Body(p, frame, 6, accent);
    p.setPen(Qt::NoPen);
    p.setBrush(accent.lighter(150));
    for (int i = 0; i < 5; ++i) {
        p.drawRoundedRect(QRectF(11, 15 + i * 7.5, 4, 4.5), 1, 1);
        p.drawRoundedRect(QRectF(49, 15 + i * 7.5, 4, 4.5), 1, 1);
    }
    PlayMark(p, QPointF(33, 32), 16);
}

void DrawDevice(QPainter& p, const Picture& pic)
{
    p.setRenderHint(QPainter::Antialiasing);
    switch (pic.kind) {
    case Kind::Phone: DrawPhone(p, pic.accent); break;
    case Kind::Tablet: DrawTablet(p, pic.accent); break;
    case Kind::Gamepad: DrawGamepad(p, pic.accent); break;
    case Kind::Handheld: DrawHandheld(p, pic.accent); break;
    case Kind::TvBox: DrawTvBox(p, pic.accent); break;
    case Kind::TvStick: DrawTvStick(p, pic.accent); break;
    case Kind::EReader: DrawEReader(p, pic.accent); break;
    case Kind::AudioPlayer: DrawAudioPlayer(p, pic.accent); break;
    case Kind::Generic: DrawGeneric(p, pic.accent); break;
    }
}

constexpr qreal kLabelTop = 47;  // the drawing shrinks into the space above the name

// The largest bold size (in pixels, 11 at most) at which the name fits the picture's width.
QFont LabelFont(const QString& text)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    for (int px = 11; px >= 7; --px) {
        font.setPixelSize(px);
        if (QFontMetricsF(font).horizontalAdvance(text) <= kSide - 3)
            break;
    }
    return font;
}

void DrawLabel(QPainter& p, const QString& text)
{
    p.setFont(LabelFont(text));
    p.setPen(QColor(0x1C, 0x1C, 0x20));
    p.drawText(QRectF(0, kLabelTop, kSide, kSide - kLabelTop), Qt::AlignHCenter | Qt::AlignVCenter, text);
}

QImage State(const Picture& pic, int state)
{
    QImage img(kSide, kSide, QImage::Format_RGB32);
    img.fill(kFace);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    if (state == 2) {  // clicked: a sunken face, the device nudged down and right
        p.setPen(QPen(QColor(0xA8, 0xA8, 0xA8), 1));
        p.setBrush(QColor(0xDC, 0xDC, 0xDC));
        p.drawRoundedRect(QRectF(1.5, 1.5, kSide - 3, kSide - 3), 5, 5);
        p.translate(1, 1);
    } else if (state == 3) {  // down: the selected device stands on a highlight
        p.setPen(QPen(QColor(0x5A, 0x9B, 0xE0), 1.5));
        p.setBrush(QColor(0xCC, 0xE4, 0xF7));
        p.drawRoundedRect(QRectF(1.5, 1.5, kSide - 3, kSide - 3), 5, 5);
    }
    const QString label = QString::fromUtf8(pic.label);
    if (label.isEmpty()) {
        DrawDevice(p, pic);
    } else {
        p.save();
        // The drawing at 72 % above the name, centred.
        const qreal scale = 0.72;
        p.translate((kSide - kSide * scale) / 2, 0);
        p.scale(scale, scale);
        DrawDevice(p, pic);
        p.restore();
        DrawLabel(p, label);
    }
    p.end();
    if (state == 1) {  // disabled: grey and faded towards the face
        for (int y = 0; y < kSide; ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < kSide; ++x) {
                const int g = qGray(line[x]);
                const int v = (g * 45 + kFace.red() * 55) / 100;
                line[x] = qRgb(v, v, v);
            }
        }
    }
    return img;
}

bool Write(const Picture& pic, const QString& folder)
{
    QImage strip(kSide * 4, kSide, QImage::Format_RGB888);  // 24 bits per pixel in the file
    QPainter p(&strip);
    for (int s = 0; s < 4; ++s)
        p.drawImage(s * kSide, 0, State(pic, s));
    p.end();
    const QString name = *pic.idName ? QStringLiteral("device_%1.bmp").arg(QString::fromLatin1(pic.idName))
                                     : QStringLiteral("device1_4state.bmp");
    const QString path = QDir(folder).filePath(name);
    if (!strip.save(path, "BMP")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <images folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    for (const Picture& pic : kPictures)
        if (!Write(pic, folder))
            return 1;
    return 0;
}
