#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    QByteArray m_name;
    QByteArray m_old;
    bool m_had = false;
};

// Takes the addresses that QDesktopServices is asked to open for one scheme, instead of letting
// the desktop open them.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(const QString& scheme);
    ~UrlRecorder() override;

    QList<QUrl> urls;

public slots:
    void openUrl(const QUrl& url);

private:
    QString m_scheme;
};

// Stand-ins for outside programs: copies of tests/tools/ran under the names of the programs they
// replace. Each started copy appends its name to log(); while go() does not exist, it waits.
class StandIns {
public:
    StandIns();

    QString bin() const { return m_dir.filePath("bin"); }
    QString log() const { return m_dir.filePath("ran.txt"); }
    QString go() const { return m_dir.filePath("go"); }

    // Puts a stand-in named `name` into `folder` (default: bin()).
    void add(const QString& name, const QString& folder = QString()) const;
    // Lets the started stand-ins go on.
    void release() const;
    // The lines logged so far, once `count` have arrived (empty when they did not).
    QStringList waitForLines(int count) const;

private:
    QTemporaryDir m_dir;
    ScopedEnv m_log;
    ScopedEnv m_go;
};
