#include "tools/Form6.h"

#include "tools/OutsideTools.h"
#include "ui/Accessibility.h"
#include "ui/Windows.h"

#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

namespace {

constexpr int TwipsPerPixel = 15;

QRect twips(int left, int top, int width, int height)
{
    const auto px = [](int t) { return qRound(static_cast<double>(t) / TwipsPerPixel); };
    return QRect(px(left), px(top), px(width), px(height));
}

const QColor LinkNormal(0, 0, 0);
const QColor LinkHover(0, 0, 255);
const QColor LinkPressed(255, 0, 0);

} // namespace

Form6::Form6(tarvel::ProgramStarter& starter, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window), m_starter(starter)
{
    setObjectName(QStringLiteral("Form6"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Tarvel"));
    setFixedSize(twips(0, 0, 4665, 2415).size());

    // The grey band lies behind the logo.
    auto* band = new QFrame(this);
    band->setObjectName(QStringLiteral("Shape1"));
    band->setGeometry(twips(0, 360, 4695, 495));
    band->setAutoFillBackground(true);
    QPalette grey = band->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    band->setPalette(grey);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setGeometry(twips(120, 240, 2400, 780));
    logo->setScaledContents(true);
    logo->setPixmap(QPixmap(QStringLiteral(":/about/logo.png")));
    logo->setAccessibleName(QStringLiteral("Tarvel logo"));

    const auto label = [this](const char* name, const QString& caption, const QRect& place) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(place);
        return l;
    };
    label("Label1", QStringLiteral("Version " TARVEL_VERSION), twips(3240, 840, 1335, 255));
    m_history = label("Label3", QStringLiteral("Versions history"), twips(3240, 1080, 1335, 255));
    m_history->setCursor(Qt::PointingHandCursor);
    m_history->installEventFilter(this);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Shape2"));
    frame->setGeometry(twips(120, 1320, 4455, 975));
    frame->setFrameShape(QFrame::Box);
    frame->lower();
    band->lower();

    label("Label5", QStringLiteral("Tarvel - a Turbo Pascal 3 IDE for MSX computers"), twips(240, 1440, 4215, 255));
    label("Label4", QStringLiteral("Made by MSX fans for MSX fans."), twips(240, 1680, 4215, 255));
    m_link = label("Label2", tarvel::HomePageUrl().host(), twips(240, 1920, 1605, 195));
    m_link->setMouseTracking(true);
    m_link->installEventFilter(this);
    m_link->setAccessibleDescription(QStringLiteral("Opens the home page"));

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &Form6::Timer1_Timer);
    m_timer->start();

    // Load.
    setLinkLook(LinkNormal, false);
    common::CenterForm(mainWindow, this);
    common::NameControlsForAccessibility(this);
}

void Form6::setLinkLook(const QColor& colour, bool underlined)
{
    QPalette palette = m_link->palette();
    palette.setColor(QPalette::WindowText, colour);
    m_link->setPalette(palette);
    QFont font = m_link->font();
    font.setUnderline(underlined);
    m_link->setFont(font);
}

bool Form6::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_link) {
        switch (event->type()) {
        case QEvent::MouseMove:
            setLinkLook(LinkHover, true);
            break;
        case QEvent::MouseButtonPress:
            if (m_link->palette().color(QPalette::WindowText) == LinkHover)
                setLinkLook(LinkPressed, true);
            break;
        case QEvent::MouseButtonRelease:
            m_starter.open(tarvel::HomePageUrl());
            break;
        default:
            break;
        }
    } else if (watched == m_history && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && m_history->rect().contains(mouse->position().toPoint())) {
            emit historyRequested();
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form6::Timer1_Timer()
{
    // In twips, as the link's place is given; a point on an edge counts as inside.
    const QPoint mouse = mapFromGlobal(QCursor::pos()) * TwipsPerPixel;
    const QRect link = m_link->geometry();
    const int left = link.x() * TwipsPerPixel;
    const int top = link.y() * TwipsPerPixel;
    const int width = link.width() * TwipsPerPixel;
    const int height = link.height() * TwipsPerPixel;
    if (mouse.x() < left || mouse.x() > left + width || mouse.y() < top || mouse.y() > top + height)
        setLinkLook(LinkNormal, false);
}
