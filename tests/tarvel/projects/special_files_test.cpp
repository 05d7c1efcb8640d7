#include "shell/Form1.h"

#include "ScriptedDialogs.h"
#include "TarvelKit.h"
#include "TestFiles.h"
#include "shell/CodeEditor.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A FIFO that notices every time someone opens it for reading: a writer waits on it in a thread,
// and each open for reading lets that writer through, which counts it and closes at once (so the
// reader sees the end of the data instead of waiting). At the end the FIFO is opened once more
// by the watcher itself to let the last writer go.
class WatchedFifo {
public:
    explicit WatchedFifo(const QString& path) : m_path(QFile::encodeName(path))
    {
        m_made = ::mkfifo(m_path.constData(), 0644) == 0;
        if (m_made)
            m_writer = std::thread([this] { run(); });
    }
    ~WatchedFifo() { stop(); }

    bool made() const { return m_made; }

    // How often the program opened the FIFO for reading.
    int opensByProgram()
    {
        stop();
        return m_opens - 1; // the last open is the watcher's own
    }

private:
    void run()
    {
        while (!m_stopping) {
            const int fd = ::open(m_path.constData(), O_WRONLY);
            if (fd >= 0) {
                ++m_opens;
                ::close(fd);
            }
        }
    }
    void stop()
    {
        if (!m_writer.joinable())
            return;
        m_stopping = true;
        const int fd = ::open(m_path.constData(), O_RDONLY | O_NONBLOCK);
        m_writer.join();
        if (fd >= 0)
            ::close(fd);
    }

    QByteArray m_path;
    bool m_made = false;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_opens{0};
    std::thread m_writer;
};

void openProjectAsUser(Form1& form, ScriptedDialogs& dialogs, const QString& tpj)
{
    dialogs.queuePath(tpj);
    form.findChild<QAction*>(QStringLiteral("mnuOpenProject"))->trigger();
}

} // namespace

TEST(SpecialFiles, AFifoAndALinkToADeviceNamedAsIncludesCountAsMissing)
{
    TarvelKit kit;
    const QString dir = kit.path("p") + "/";
    testfiles::write(dir + "a.inc", "{$I PIPE.INC}\r\nprocedure a;\r\nbegin end;\r\n");
    testfiles::write(dir + "good.inc", "procedure g;\r\nbegin end;\r\n");
    // A link to a regular file is an ordinary include.
    ASSERT_TRUE(QFile::link(dir + "good.inc", dir + "link.inc"));
    testfiles::write(dir + "main.pas", "program m;\r\n{$I PIPE.INC}\r\n{$I ZERO.INC}\r\n{$I A.INC}\r\n{$I LINK.INC}\r\nbegin end.\r\n");
    testfiles::write(dir + "m.tpj", "Demo\r\n2E9B\r\nF93C\r\nmain.pas\r\n");
    ASSERT_TRUE(QFile::link("/dev/zero", dir + "zero.inc"));
    WatchedFifo fifo(dir + "pipe.inc");
    ASSERT_TRUE(fifo.made());

    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    openProjectAsUser(*form, dialogs, dir + "m.tpj");

    ASSERT_EQ(form->nodeCount(), 4);
    EXPECT_EQ(form->node(3)->text(0), "A.INC");
    EXPECT_EQ(form->node(4)->text(0), "LINK.INC");
    EXPECT_TRUE(form->editor()->text().startsWith("program m;"));
    EXPECT_TRUE(dialogs.messages().isEmpty());
    EXPECT_EQ(fifo.opensByProgram(), 0) << "the FIFO was opened, so a program without a writer would hang";
}

TEST(SpecialFiles, ASourceOverTheSizeLimitIsRefusedNamingIt)
{
    TarvelKit kit;
    const QString dir = kit.path("p") + "/";
    testfiles::write(dir + "m.tpj", "Demo\r\n2E9B\r\nF93C\r\nhuge.pas\r\n");
    testfiles::write(dir + "huge.pas", "program huge;\r\n");
    {
        // A sparse file: large on paper, nothing on the disk.
        QFile huge(dir + "huge.pas");
        ASSERT_TRUE(huge.resize(64 * 1024 * 1024 + 1));
    }
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    openProjectAsUser(*form, dialogs, dir + "m.tpj");

    const QList<ScriptedDialogs::Call> messages = dialogs.messages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].text.contains(dir + "huge.pas")) << messages[0].text.toStdString();
    EXPECT_TRUE(messages[0].text.contains("larger than 64 MB")) << messages[0].text.toStdString();
    EXPECT_EQ(form->nodeCount(), 0);
    EXPECT_TRUE(form->editor()->text().isEmpty());
}

TEST(SpecialFiles, ASettingsFileOrWordListThatIsNoRegularFileGivesTheDefaults)
{
    TarvelKit kit;
    QFile::remove(kit.path("config.cfg"));
    ASSERT_TRUE(QFile::link("/dev/zero", kit.path("config.cfg")));
    QFile::remove(kit.path("help/autocomplete.txt"));
    WatchedFifo fifo(kit.path("help/autocomplete.txt"));
    ASSERT_TRUE(fifo.made());

    // The defaults open the project chooser at start; it is cancelled.
    bool sawChooser = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        sawChooser = modal && modal->objectName() == "Form5";
        if (modal)
            QTest::mouseClick(modal->findChild<QWidget*>("Command2"), Qt::LeftButton);
    });
    ScriptedDialogs dialogs;
    auto form = kit.startForm(dialogs);
    EXPECT_TRUE(sawChooser);
    EXPECT_EQ(form->Settings.DiskImagePath, kit.dir() + "/dsk/");
    EXPECT_TRUE(form->autoCompleteWords().isEmpty());
    EXPECT_EQ(fifo.opensByProgram(), 0);
}
