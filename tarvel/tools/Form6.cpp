#include "tools/Form6.h"

#include "tools/OutsideTools.h"
#include "ui/Accessibility.h"
#include "ui/Windows.h"

#include <QCursor>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int TwipsPerPixel = 15;

int px(int twips)
{
    return qRound(static_cast<double>(twips) / TwipsPerPixel);
}

QRect twips(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

const QColor LinkNormal(0, 0, 0);
const QColor LinkHover(0, 0, 255);
const QColor LinkPressed(255, 0, 0);

} // namespace

Form6::Form6(tarvel::ProgramStarter& starter, QWidget* mainWindow, const QString& readmePath)
    : QWidget(mainWindow, Qt::Window), m_starter(starter), m_readme(readmePath)
{
    setObjectName(QStringLiteral("Form6"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Tarvel"));

    // The places are the classic window's; where a text needs more room with this system's font, its
    // label and the window grow to fit it.
    auto* band = new QFrame(this);
    band->setObjectName(QStringLiteral("Shape1"));
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

    const auto label = [](QWidget* parent, const char* name, const QString& caption) {
        auto* l = new QLabel(caption, parent);
        l->setObjectName(QString::fromLatin1(name));
        return l;
    };
    const auto place = [](QLabel* l, const QRect& planned) {
        l->setGeometry(QRect(planned.topLeft(), planned.size().expandedTo(l->sizeHint())));
    };
    QLabel* version = label(this, "Label1", QStringLiteral("Version " TARVEL_VERSION));
    place(version, twips(3240, 840, 1335, 255));
    m_history = label(this, "Label3", QStringLiteral("Versions history"));
    QRect historyPlace = twips(3240, 1080, 1335, 255);
    historyPlace.moveTop(qMax(historyPlace.top(), version->geometry().bottom() + 1));
    place(m_history, historyPlace);
    m_history->setCursor(Qt::PointingHandCursor);
    m_history->installEventFilter(this);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Shape2"));
    frame->setFrameShape(QFrame::Box);
    auto* credits = new QVBoxLayout(frame);
    credits->setContentsMargins(px(120), px(120), px(120), px(120));
    credits->setSpacing(0);
    credits->addWidget(label(frame, "Label5", QStringLiteral("Tarvel - a Turbo Pascal 3 IDE for MSX computers")));
    credits->addWidget(label(frame, "Label4", QStringLiteral("Made by MSX fans for MSX fans.")));
    m_link = label(frame, "Label2", QStringLiteral("Read me: ") + QFileInfo(m_readme).fileName());
    credits->addWidget(m_link, 0, Qt::AlignLeft);
    m_link->setMouseTracking(true);
    m_link->installEventFilter(this);
    m_link->setAccessibleDescription(QStringLiteral("Opens the README the kit ships"));
    m_link->setVisible(!m_readme.isEmpty());

    const QRect framePlace = twips(120, 1320, 4455, 975);
    // The layout's hint leaves out the outline drawn around it.
    const int outline = 2 * frame->frameWidth();
    const QSize frameSize = framePlace.size().expandedTo(credits->sizeHint() + QSize(outline, outline));
    const int top = qMax(framePlace.top(), m_history->geometry().bottom() + 4);
    const int width = std::max({px(4665), version->geometry().right() + 8,
                            m_history->geometry().right() + 8, framePlace.left() + frameSize.width() + 8});
    frame->setGeometry(framePlace.left(), top, width - 2 * framePlace.left(), frameSize.height());
    band->setGeometry(0, px(360), width, px(495));
    band->lower();
    setFixedSize(width, qMax(px(2415), frame->geometry().bottom() + 8));

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &Form6::Timer1_Timer);
    m_timer->start();

    // Load.
    setLinkLook(LinkNormal, false);
    common::CenterForm(mainWindow, this);
    common::CloseOnEscape(this);
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
            m_starter.open(QUrl::fromLocalFile(m_readme));
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
    const QRect link(m_link->mapTo(this, QPoint(0, 0)), m_link->size());
    const int left = link.x() * TwipsPerPixel;
    const int top = link.y() * TwipsPerPixel;
    const int width = link.width() * TwipsPerPixel;
    const int height = link.height() * TwipsPerPixel;
    if (mouse.x() < left || mouse.x() > left + width || mouse.y() < top || mouse.y() > top + height)
        setLinkLook(LinkNormal, false);
}
