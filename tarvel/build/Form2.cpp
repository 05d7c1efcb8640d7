#include "build/Form2.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

constexpr int kTickMs = 300;
// Where the text box starts, and what it leaves free right of and below it.
constexpr int kTextLeft = 64;
constexpr int kTextTop = 16;
constexpr int kTextRightGap = 4;
constexpr int kTextBottomGap = 2;
// The smallest panel still shows a whole picture and a few characters of text.
constexpr int kMinimumWidth = kTextLeft + 120;
constexpr int kMinimumHeight = 60;

// The panel's client area: the design size is what it asks for; the dock gives it what there is.
class MonitorClient : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {Form2::kDesignWidth, Form2::kDesignHeight}; }
};

} // namespace

Form2::Form2(QWidget* parent) : QDockWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Compilation"));
    // It stays docked under the editor: a floating panel would be a window of its own again,
    // which may be put over the editor.
    setFeatures(QDockWidget::DockWidgetClosable);
    setAllowedAreas(Qt::BottomDockWidgetArea);
    // Hidden until a build loads it.
    setVisible(false);

    m_client = new MonitorClient(this);
    m_client->setObjectName(QStringLiteral("Form2Client"));
    m_client->setMinimumSize(kMinimumWidth, kMinimumHeight);
    m_client->resize(kDesignWidth, kDesignHeight);
    setWidget(m_client);

    m_text = new QPlainTextEdit(m_client);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setAccessibleName(QStringLiteral("Compilation messages"));
    layOutText();
    m_client->installEventFilter(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->installEventFilter(this);
    m_text->viewport()->installEventFilter(this);

    static const struct {
        const char* image;
        const char* accessibleName;
    } pictures[PictureCount] = {
        {":/monitor/images/compiling0.png", "Compiling"}, {":/monitor/images/compiling1.png", "Compiling"},
        {":/monitor/images/error0.png", "Error"},         {":/monitor/images/error1.png", "Error"},
        {":/monitor/images/success.png", "Success"},
    };
    for (int i = 0; i < PictureCount; ++i) {
        QLabel* label = new QLabel(m_client);
        label->setObjectName(QStringLiteral("Image1_%1").arg(i));
        label->setAccessibleName(QLatin1String(pictures[i].accessibleName));
        label->setGeometry(8, 0, 52, 52);
        label->setPixmap(QPixmap(QLatin1String(pictures[i].image)));
        label->setVisible(i == Compiling0);
        m_pictures[i] = label;
    }

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kTickMs);
    connect(m_timer1, &QTimer::timeout, this, &Form2::timer1Tick);
    m_timer2 = new QTimer(this);
    m_timer2->setObjectName(QStringLiteral("Timer2"));
    m_timer2->setInterval(kTickMs);
    connect(m_timer2, &QTimer::timeout, this, &Form2::timer2Tick);
}

void Form2::layOutText()
{
    m_text->setGeometry(kTextLeft, kTextTop, qMax(0, m_client->width() - kTextLeft - kTextRightGap),
                        qMax(0, m_client->height() - kTextTop - kTextBottomGap));
}

void Form2::load(const QString& projectName)
{
    m_loaded = true;
    startOver(projectName);
    show();
    repaint();
}

void Form2::startOver(const QString& projectName)
{
    setText(QStringLiteral("Compiling ") + projectName + QStringLiteral("..."));
    m_records = 0;
    m_showsErrors = false;
    m_timer2->stop();
    showOnly(Compiling0);
    m_timer1->start();
}

void Form2::bringUp(const QString& projectName)
{
    if (!m_loaded) {
        load(projectName);
        return;
    }
    if (m_showsErrors) {
        // Only the outcome shown starts over.
        startOver(projectName);
    }
    show();
}

void Form2::showSizeError(const QString& projectDir, const QStringList& largestFiles)
{
    m_records = 0;
    m_showsErrors = true;
    m_timer1->stop();
    showOnly(Error1);
    m_timer2->start();
    QString text = QStringLiteral("The project directory \r\n") + projectDir
                   + QStringLiteral("\r\ncannot have more than 720kb of files");
    if (!largestFiles.isEmpty())
        text += QStringLiteral("\r\n\r\nThe largest files in it:\r\n") + largestFiles.join(QStringLiteral("\r\n"));
    setText(text);
}

void Form2::showSuccess(const QString& report)
{
    m_timer1->stop();
    m_timer2->stop();
    showOnly(Success);
    setText(text() + report);
    m_records = 0;
}

void Form2::showErrors(const QString& report)
{
    showErrorList(report, 0);
}

void Form2::showErrorList(const QString& report, int records)
{
    showOnly(Error1);
    m_timer2->start();
    m_timer1->stop();
    setText(report);
    m_records = records;
    m_showsErrors = true;
}

void Form2::markRecord(int index)
{
    if (index < 0 || index >= m_records)
        return;
    QTextCursor cursor(m_text->document()->findBlockByNumber(2 * index));
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
}

void Form2::activateLine(int line)
{
    // Every record is two lines; the line after the last record (more errors not listed) is none.
    if (line >= 0 && line / 2 < m_records)
        emit recordActivated(line / 2);
}

QString Form2::text() const
{
    QString text = m_text->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void Form2::setText(const QString& crLfText)
{
    QString plain = crLfText;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    m_text->setPlainText(plain);
}

// Every picture but `picture` is hidden. The error and size states hide the success picture as
// well, so that one left from an earlier build cannot cover the error animation.
void Form2::showOnly(Picture picture)
{
    for (int i = 0; i < PictureCount; ++i)
        m_pictures[i]->setVisible(i == picture);
}

void Form2::invert(Picture picture)
{
    m_pictures[picture]->setVisible(m_pictures[picture]->isHidden());
}

void Form2::timer1Tick()
{
    invert(Compiling1);
    invert(Compiling0);
    repaint();
}

void Form2::timer2Tick()
{
    invert(Error0);
    invert(Error1);
    repaint();
}

void Form2::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDockWidget::keyPressEvent(event);
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            close();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_records > 0) {
            activateLine(m_text->textCursor().blockNumber());
            return true;
        }
    }
    if (watched == m_text->viewport() && event->type() == QEvent::MouseButtonDblClick && m_records > 0) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            activateLine(m_text->cursorForPosition(mouse->position().toPoint()).blockNumber());
            return true;
        }
    }
    if (watched == m_client && event->type() == QEvent::Resize)
        layOutText();
    return QDockWidget::eventFilter(watched, event);
}

void Form2::closeEvent(QCloseEvent* event)
{
    QDockWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    m_timer1->stop();
    m_timer2->stop();
    m_loaded = false;
    emit unloaded();
}
