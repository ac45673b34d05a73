#include "window/AboutF.h"

#include "app/ProductInfo.h"
#include "window/MainF.h"
#include "window/MainWindowView.h"

#include <QEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>

namespace ondrava {

namespace {

// The box's design positions: the rule that places the credits uses these.
constexpr int kLinksTop = 97;
constexpr int kLinkHeight = 14;
constexpr int kEmailRight = 352;
constexpr int kCopyrightTop = 244;
constexpr int kCreditsGap = 8;

// The box was drawn for a narrow sans; the nearest sans on this desktop stands in for it.
QFont BoxFont(int pointSize, bool bold = false)
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString& candidate : {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")})
            if (families.contains(candidate))
                return candidate;
        return QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }();
    QFont font(family, pointSize);
    font.setStyleHint(QFont::SansSerif);
    font.setBold(bold);
    return font;
}

// The band across the top: a gradient with a frame turning into an arrow, drawn here so the
// box needs no picture file.
class LogoWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect();
        QLinearGradient band(r.topLeft(), r.topRight());
        band.setColorAt(0.0, QColor(0x1d, 0x3a, 0x6e));
        band.setColorAt(1.0, QColor(0x1f, 0x8a, 0x9a));
        p.fillRect(r, band);

        const qreal h = r.height();
        const QRectF frame(h * 0.3, h * 0.22, h * 0.8, h * 0.56);
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(frame, 3, 3);
        QPainterPath play;
        play.moveTo(frame.left() + frame.width() * 0.38, frame.top() + frame.height() * 0.25);
        play.lineTo(frame.left() + frame.width() * 0.68, frame.center().y());
        play.lineTo(frame.left() + frame.width() * 0.38, frame.bottom() - frame.height() * 0.25);
        play.closeSubpath();
        p.fillPath(play, Qt::white);

        const qreal y = frame.center().y();
        const qreal x0 = frame.right() + h * 0.2;
        const qreal x1 = x0 + h * 0.7;
        p.drawLine(QPointF(x0, y), QPointF(x1, y));
        p.drawLine(QPointF(x1, y), QPointF(x1 - h * 0.18, y - h * 0.14));
        p.drawLine(QPointF(x1, y), QPointF(x1 - h * 0.18, y + h * 0.14));

        p.setPen(QColor(255, 255, 255, 200));
        p.setFont(BoxFont(12, true));
        p.drawText(QRectF(x1 + h * 0.3, 0, r.width() - x1 - h * 0.3, h), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral("media converter"));
    }
};

void MakeLink(QLabel* label)
{
    QFont font = BoxFont(8);
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    label->setAutoFillBackground(false);
}

}  // namespace

TAboutForm::TAboutForm(TMainForm* mainForm, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                         | Qt::WindowStaysOnTopHint),
      m_mainForm(mainForm)
{
    setWindowTitle(QStringLiteral("About..."));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(BoxFont(10));
    BuildControls();
    FormCreate();
}

void TAboutForm::BuildControls()
{
    LogoImage = new LogoWidget(this);
    LogoImage->setObjectName(QStringLiteral("LogoImage"));
    LogoImage->setGeometry(0, 0, 360, 50);

    TitleLabel = new QLabel(this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setFont(BoxFont(14, true));

    VerLabel = new QLabel(this);
    VerLabel->setObjectName(QStringLiteral("VerLabel"));

    CopyrightLabel = new QLabel(this);
    CopyrightLabel->setObjectName(QStringLiteral("CopyrightLabel"));

    AuthorsMemo = new QPlainTextEdit(this);
    AuthorsMemo->setObjectName(QStringLiteral("AuthorsMemo"));
    AuthorsMemo->setGeometry(8, 151, 345, 89);
    AuthorsMemo->setReadOnly(true);
    AuthorsMemo->setFrameShape(QFrame::NoFrame);
    AuthorsMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    AuthorsMemo->setFocusPolicy(Qt::ClickFocus);
    AuthorsMemo->setFont(BoxFont(8));
    QPalette memoPalette = AuthorsMemo->palette();
    memoPalette.setColor(QPalette::Base, memoPalette.color(QPalette::Button));
    AuthorsMemo->setPalette(memoPalette);

    HomePageLabel = new QLabel(this);
    HomePageLabel->setObjectName(QStringLiteral("HomePageLabel"));
    MakeLink(HomePageLabel);

    EmailLabel = new QLabel(this);
    EmailLabel->setObjectName(QStringLiteral("EmailLabel"));
    EmailLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    MakeLink(EmailLabel);

    OkBitBtn = new QPushButton(QStringLiteral("Ok"), this);
    OkBitBtn->setObjectName(QStringLiteral("OkBitBtn"));
    OkBitBtn->setGeometry(120, 264, 120, 30);
    OkBitBtn->setFont(BoxFont(8));
    OkBitBtn->setDefault(true);
    connect(OkBitBtn, &QPushButton::clicked, this, [this] { OkBitBtnClick(); });

    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    installEventFilter(this);
    OkBitBtn->setFocus();
}

void TAboutForm::FormCreate()
{
    HomePageLabel->setText(m_mainForm ? m_mainForm->HOMEPAGE_LINK : QString());
    EmailLabel->setText(SupportEmail());
    TitleLabel->setText(ProductTitle());
    VerLabel->setText(QStringLiteral("ver. ") + ProductVersion());
    CopyrightLabel->setText(RightsNotice());

    TitleLabel->setGeometry(QRect(QPoint(8, 56), TitleLabel->sizeHint()));
    VerLabel->setGeometry(QRect(QPoint(10, 79), VerLabel->sizeHint()));
    CopyrightLabel->setGeometry(QRect(QPoint(8, kCopyrightTop), CopyrightLabel->sizeHint()));
    const int emailWidth = EmailLabel->sizeHint().width();
    EmailLabel->setGeometry(kEmailRight - emailWidth, kLinksTop, emailWidth, kLinkHeight);
    // A long home page gives way to the mail address rather than running under it.
    const int homeWidth = qMin(HomePageLabel->sizeHint().width(), EmailLabel->x() - kCreditsGap - 10);
    HomePageLabel->setGeometry(10, kLinksTop, qMax(0, homeWidth), kLinkHeight);

    // The credits fill the space between the links and the rights notice.
    const int memoTop = HomePageLabel->y() + HomePageLabel->height() + kCreditsGap;
    AuthorsMemo->setGeometry(AuthorsMemo->x(), memoTop, AuthorsMemo->width(),
                             CopyrightLabel->y() - memoTop - kCreditsGap);

    AuthorsMemo->clear();
    AuthorsMemo->setPlainText(Credits().join(QLatin1Char('\n')));
}

QStringList TAboutForm::Credits()
{
    return {
        QStringLiteral("Developers:"),
        QStringLiteral("Ondrava team - conversion engine and program design;"),
        QStringLiteral("Ondrava team - user interface, device presets and help."),
        QString(),
        QStringLiteral("Our thanks to:"),
        QStringLiteral("Ondrava community translators - translations of the interface;"),
        QStringLiteral("Ondrava community testers - testing and bug reports."),
        QString(),
        QStringLiteral("This software uses libraries from the FFmpeg project under the LGPLv2.1"),
    };
}

void TAboutForm::HomePageLabelClick()
{
    if (m_mainForm)
        m_mainForm->HomePageActionExecute();
}

void TAboutForm::EmailLabelClick()
{
    if (m_mainForm)
        m_mainForm->EmailActionExecute();
}

void TAboutForm::FormShortCut(int key, bool& handled)
{
    if (key != Qt::Key_Escape)
        return;
    close();
    handled = true;
}

void TAboutForm::OkBitBtnClick() { close(); }

void TAboutForm::OkBitBtnEnter()
{
    QFont font = OkBitBtn->font();
    font.setBold(true);
    OkBitBtn->setFont(font);
}

void TAboutForm::OkBitBtnExit()
{
    QFont font = OkBitBtn->font();
    font.setBold(false);
    OkBitBtn->setFont(font);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        bool handled = false;
        FormShortCut(static_cast<QKeyEvent*>(event)->key(), handled);
        if (handled)
            return true;
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            if (watched == HomePageLabel)
                HomePageLabelClick();
            else if (watched == EmailLabel)
                EmailLabelClick();
        }
        break;
    case QEvent::FocusIn:
        if (watched == OkBitBtn)
            OkBitBtnEnter();
        break;
    case QEvent::FocusOut:
        if (watched == OkBitBtn)
            OkBitBtnExit();
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::ShowModalFor(QWidget* owner)
{
    auto* view = owner ? qobject_cast<MainWindowView*>(owner->window()) : nullptr;
    TAboutForm box(view ? &view->Form() : nullptr, owner);
    box.exec();
}

}  // namespace ondrava
