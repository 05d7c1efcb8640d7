#include "tools/FileTypeRegistration.h"

#include "TestFiles.h"
#include "ToolsTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

using namespace tarvel;

namespace {

// The MIME type of the package: type, comment, sub-class and glob.
struct MimeType {
    QString type;
    QString comment;
    QString subClassOf;
    QString glob;
};

MimeType parseMimePackage(const QByteArray& xml)
{
    MimeType found;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        const QStringView name = reader.name();
        if (name == QLatin1String("mime-info"))
            EXPECT_EQ(reader.namespaceUri(), QLatin1String("http://www.freedesktop.org/standards/shared-mime-info"));
        else if (name == QLatin1String("mime-type"))
            found.type = reader.attributes().value("type").toString();
        else if (name == QLatin1String("comment"))
            found.comment = reader.readElementText();
        else if (name == QLatin1String("sub-class-of"))
            found.subClassOf = reader.attributes().value("type").toString();
        else if (name == QLatin1String("glob"))
            found.glob = reader.attributes().value("pattern").toString();
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return found;
}

// The keys of the [Desktop Entry] group with the string escapes undone.
QMap<QString, QString> parseDesktopEntry(const QByteArray& bytes)
{
    QMap<QString, QString> keys;
    bool inGroup = false;
    for (const QString& line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals < 0)
            continue;
        QString value;
        const QString raw = line.mid(equals + 1);
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size()) {
                const QChar next = raw[++i];
                value += next == QLatin1Char('n')   ? QChar('\n')
                    : next == QLatin1Char('t')      ? QChar('\t')
                    : next == QLatin1Char('r')      ? QChar('\r')
                    : next == QLatin1Char('s')      ? QChar(' ')
                                                    : next;
            } else {
                value += raw[i];
            }
        }
        keys.insert(line.left(equals), value);
    }
    return keys;
}

// The arguments of an Exec value by the quoting rules of desktop entries; "%%" stays "%%".
QStringList execArguments(const QString& exec)
{
    QStringList args;
    QString current;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size())
                current += exec[++i];
            else if (c == QLatin1Char('"'))
                quoted = false;
            else
                current += c;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inWord = true;
        } else if (c == QLatin1Char(' ')) {
            if (inWord)
                args.append(current);
            current.clear();
            inWord = false;
        } else {
            current += c;
            inWord = true;
        }
    }
    if (inWord)
        args.append(current);
    return args;
}

const QByteArray Icon = "\x89PNG stand-in icon";

} // namespace

TEST(Registration, WritesTheMimePackageTheDesktopEntryAndTheIcons)
{
    QTemporaryDir home;
    const QString kit = "/opt/my kit \"$HOME\" `x` 100%/a\\b";
    const RegistrationOutcome outcome = RegisterTpjFileType(home.path(), kit + "/tarvel", Icon);
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.written.size(), 4);

    const MimeType mime = parseMimePackage(testfiles::read(home.filePath("mime/packages/tarvel.xml")));
    EXPECT_EQ(mime.type, TpjMimeType);
    EXPECT_EQ(mime.comment, "Tarvel Turbo Pascal Project");
    EXPECT_EQ(mime.subClassOf, "text/plain");
    EXPECT_EQ(mime.glob, "*.tpj");

    const auto entry = parseDesktopEntry(testfiles::read(home.filePath("applications/tarvel.desktop")));
    EXPECT_EQ(entry.value("Type"), "Application");
    EXPECT_EQ(entry.value("Name"), "Tarvel");
    EXPECT_EQ(entry.value("MimeType"), "application/x-tarvel-project;");
    QStringList args = execArguments(entry.value("Exec"));
    ASSERT_EQ(args.size(), 2) << entry.value("Exec").toStdString();
    EXPECT_EQ(args[0].replace("%%", "%"), kit + "/tarvel") << "the program, blanks and all";
    EXPECT_EQ(args[1], "%f") << "the file is the only argument";
    EXPECT_EQ(entry.value("Icon"), home.filePath("icons/hicolor/64x64/apps/tarvel.png"));
    EXPECT_EQ(testfiles::read(entry.value("Icon")), Icon);
    EXPECT_EQ(testfiles::read(home.filePath("icons/hicolor/64x64/mimetypes/application-x-tarvel-project.png")), Icon);

    const QList<QStringList> commands{{"update-mime-database", home.filePath("mime")},
                                      {"update-desktop-database", home.filePath("applications")}};
    EXPECT_EQ(outcome.commands, commands);
}

TEST(Registration, WritesOnlyWhatChanged)
{
    QTemporaryDir home;
    ASSERT_EQ(RegisterTpjFileType(home.path(), "/kit/tarvel", Icon).written.size(), 4);
    // Files that are up to date are not touched: even read-only ones raise no error.
    const QStringList files{"mime/packages/tarvel.xml", "applications/tarvel.desktop",
                            "icons/hicolor/64x64/apps/tarvel.png"};
    for (const QString& file : files)
        QFile::setPermissions(home.filePath(file), QFileDevice::ReadOwner);
    const RegistrationOutcome again = RegisterTpjFileType(home.path(), "/kit/tarvel", Icon);
    EXPECT_EQ(again.error, "");
    EXPECT_TRUE(again.written.isEmpty());
    EXPECT_TRUE(again.commands.isEmpty());

    QFile::setPermissions(home.filePath("applications/tarvel.desktop"), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const RegistrationOutcome moved = RegisterTpjFileType(home.path(), "/elsewhere/tarvel", Icon);
    EXPECT_EQ(moved.written, QStringList{home.filePath("applications/tarvel.desktop")});
    EXPECT_EQ(moved.commands, (QList<QStringList>{{"update-desktop-database", home.filePath("applications")}}));
}

TEST(Registration, WithoutAnIconTheEntryHasNoIconLine)
{
    QTemporaryDir home;
    const RegistrationOutcome outcome = RegisterTpjFileType(home.path(), "/kit/tarvel", QByteArray());
    EXPECT_EQ(outcome.written.size(), 2);
    EXPECT_FALSE(parseDesktopEntry(testfiles::read(home.filePath("applications/tarvel.desktop"))).contains("Icon"));
    EXPECT_FALSE(QFile::exists(home.filePath("icons")));
}

TEST(Registration, AFolderThatCannotBeWrittenGivesAReasonAndLeavesOldFilesWhole)
{
    QTemporaryDir dir;
    // A data folder that is a file: nothing can be created below it.
    testfiles::write(dir.filePath("blocked"), "a file");
    const RegistrationOutcome blocked = RegisterTpjFileType(dir.filePath("blocked"), "/kit/tarvel", Icon);
    EXPECT_FALSE(blocked.error.isEmpty());
    EXPECT_TRUE(blocked.written.isEmpty());
    EXPECT_TRUE(blocked.commands.isEmpty());

    // A read-only entry from an earlier registration stays as it was.
    testfiles::write(dir.filePath("home/applications/tarvel.desktop"), "old entry");
    QFile::setPermissions(dir.filePath("home/applications/tarvel.desktop"), QFileDevice::ReadOwner);
    const RegistrationOutcome partly = RegisterTpjFileType(dir.filePath("home"), "/kit/tarvel", Icon);
    EXPECT_FALSE(partly.error.isEmpty());
    EXPECT_EQ(testfiles::read(dir.filePath("home/applications/tarvel.desktop")), "old entry");
    EXPECT_EQ(partly.written.size(), 3) << "the other files are written";

    EXPECT_FALSE(RegisterTpjFileType(QString(), "/kit/tarvel", Icon).error.isEmpty());
}

TEST(Registration, DataHomeFollowsTheFreedesktopRules)
{
    ScopedEnv data("XDG_DATA_HOME", "/x/data/");
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(XdgDataHome(), "/x/data");
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(XdgDataHome(), "/home/u/.local/share") << "a relative path is ignored";
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(XdgDataHome(), "/home/u/.local/share");
    qunsetenv("HOME");
    EXPECT_EQ(XdgDataHome(), "");
}

TEST(Registration, TheDesktopToolsAcceptTheFiles)
{
    const QString validate = QStandardPaths::findExecutable("desktop-file-validate");
    const QString updateMime = QStandardPaths::findExecutable("update-mime-database");
    const QString xdgMime = QStandardPaths::findExecutable("xdg-mime");
    const QString gio = QStandardPaths::findExecutable("gio");
    if (validate.isEmpty() && (updateMime.isEmpty() || xdgMime.isEmpty() || gio.isEmpty()))
        GTEST_SKIP() << "neither desktop-file-validate nor update-mime-database, xdg-mime and gio are installed";

    QTemporaryDir home;
    const QString kit = home.filePath("my kit");
    ASSERT_EQ(RegisterTpjFileType(home.filePath("share"), kit + "/tarvel", Icon).error, "");
    if (!validate.isEmpty()) {
        QProcess check;
        check.start(validate, {home.filePath("share/applications/tarvel.desktop")});
        ASSERT_TRUE(check.waitForFinished(60000));
        EXPECT_EQ(check.exitCode(), 0) << check.readAllStandardOutput().toStdString()
                                       << check.readAllStandardError().toStdString();
    }
    if (!updateMime.isEmpty() && !xdgMime.isEmpty() && !gio.isEmpty()) {
        QProcess update;
        update.start(updateMime, {home.filePath("share/mime")});
        ASSERT_TRUE(update.waitForFinished(60000));
        ASSERT_EQ(update.exitCode(), 0) << update.readAllStandardError().toStdString();
        testfiles::write(home.filePath("Game.tpj"), "Game\r\n2E9B\r\nD200\r\nGAME.PAS\r\n");
        // xdg-mime asks the desktop's file-type database (through gio on a GNOME desktop).
        QProcess query;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", home.filePath("share"));
        env.insert("XDG_CURRENT_DESKTOP", "GNOME");
        query.setProcessEnvironment(env);
        query.start(xdgMime, {"query", "filetype", home.filePath("Game.tpj")});
        ASSERT_TRUE(query.waitForFinished(60000));
        EXPECT_EQ(QString::fromUtf8(query.readAllStandardOutput()).trimmed(), TpjMimeType);
    }
}
