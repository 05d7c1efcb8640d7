#include "core/OpenMsxMachineCheck.h"

#include "core/OpenMsxMachines.h"
#include "core/TextFile.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace common {

namespace {

constexpr int kParallelChecks = 2;
constexpr int kReasonLength = 300;
const QByteArray kCacheHeader = QByteArrayLiteral("openMSX machine checks 1");

QString environmentFolder(const char* name)
{
    return QFile::decodeName(qgetenv(name));
}

QString userDataFolder()
{
    const QString userData = environmentFolder("OPENMSX_USER_DATA");
    return userData.isEmpty() ? QDir::homePath() + QStringLiteral("/.openMSX/share") : userData;
}

// The line of openMSX's output that says why a machine does not start.
QString reasonOf(const QByteArray& output)
{
    const QStringList lines = QString::fromLocal8Bit(output).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QString reason;
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        if (text.contains(QLatin1String("Couldn't find ROM file")) || text.startsWith(QLatin1String("Fatal error"))) {
            reason = text;
            break;
        }
    }
    if (reason.isEmpty() && !lines.isEmpty())
        reason = lines.last().trimmed();
    return reason.left(kReasonLength);
}

void addFolderListing(QCryptographicHash& hash, const QString& folder)
{
    const QFileInfo info(folder);
    hash.addData(QFile::encodeName(folder));
    if (!info.exists()) {
        hash.addData(QByteArrayView("\0missing", 8));
        return;
    }
    if (!info.isReadable()) {
        hash.addData(QByteArrayView("\0unreadable", 11));
        return;
    }
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry = it.nextFileInfo();
        entries << QStringLiteral("%1|%2|%3|%4")
                       .arg(entry.filePath())
                       .arg(entry.size())
                       .arg(entry.lastModified().toMSecsSinceEpoch())
                       .arg(entry.isReadable() ? 1 : 0);
    }
    entries.sort();
    for (const QString& entry : std::as_const(entries))
        hash.addData(entry.toUtf8().append('\n'));
}

QByteArray escapeField(const QString& text)
{
    QString plain = text;
    plain.replace(QLatin1Char('\t'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    return plain.toUtf8();
}

} // namespace

QString MachineCheckMark(const MachineCheck& check)
{
    switch (check.start) {
    case MachineCheck::Start::Unchecked:
        return QStringLiteral("checking...");
    case MachineCheck::Start::Starts:
        if (!check.diskDrive)
            return QStringLiteral("starts, drive unknown");
        return *check.diskDrive ? QStringLiteral("starts, disk drive") : QStringLiteral("starts, no disk drive");
    case MachineCheck::Start::DoesNotStart:
        if (check.romsMissing)
            return check.diskDrive.value_or(false) ? QStringLiteral("ROMs missing, disk drive")
                                                   : QStringLiteral("ROMs missing");
        if (!check.diskDrive)
            return QStringLiteral("does not start, description damaged");
        return QStringLiteral("does not start");
    case MachineCheck::Start::CheckFailed:
        return QStringLiteral("not checked: ") + check.reason;
    }
    return {};
}

QStringList OpenMsxRomFolders(const QString& programPath)
{
    QStringList folders;
    for (const QString& machines : OpenMsxMachineFolders(programPath)) {
        const QString roms = QFileInfo(machines).absolutePath() + QStringLiteral("/systemroms");
        if (!folders.contains(roms))
            folders << roms;
    }
    const QString user = UserSystemRomFolder();
    if (!folders.contains(user))
        folders << user;
    return folders;
}

QString UserSystemRomFolder()
{
    return userDataFolder() + QStringLiteral("/systemroms");
}

QByteArray OpenMsxSetupFingerprint(const QString& programPath, const QStringList& machineFolders,
                                   const QStringList& romFolders)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const QFileInfo program(programPath);
    hash.addData(QStringLiteral("%1|%2|%3\n")
                     .arg(program.canonicalFilePath())
                     .arg(program.size())
                     .arg(program.lastModified().toMSecsSinceEpoch())
                     .toUtf8());
    for (const QString& folder : machineFolders)
        addFolderListing(hash, folder);
    hash.addData(QByteArrayView("\0roms", 5));
    for (const QString& folder : romFolders)
        addFolderListing(hash, folder);
    return hash.result().toHex();
}

std::optional<QHash<QString, MachineCheck>> ReadMachineCheckCache(const QByteArray& bytes, const QByteArray& fingerprint)
{
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 3 || lines.at(0) != kCacheHeader || lines.at(1) != fingerprint || !lines.last().isEmpty())
        return std::nullopt;
    QHash<QString, MachineCheck> checks;
    for (qsizetype i = 2; i + 1 < lines.size(); ++i) {
        // The writer never writes a carriage return; a line with one was not written by it.
        const QList<QByteArray> fields = lines.at(i).split('\t');
        if (fields.size() != 5 || fields.at(0).isEmpty() || lines.at(i).contains('\r'))
            return std::nullopt;
        MachineCheck check;
        if (fields.at(1) == "starts")
            check.start = MachineCheck::Start::Starts;
        else if (fields.at(1) == "fails")
            check.start = MachineCheck::Start::DoesNotStart;
        else
            return std::nullopt;
        if (fields.at(2) == "1" || fields.at(2) == "0")
            check.diskDrive = fields.at(2) == "1";
        else if (fields.at(2) != "?")
            return std::nullopt;
        if (fields.at(3) != "1" && fields.at(3) != "0")
            return std::nullopt;
        check.romsMissing = fields.at(3) == "1";
        check.reason = QString::fromUtf8(fields.at(4));
        checks.insert(QString::fromUtf8(fields.at(0)), check);
    }
    return checks;
}

QByteArray WriteMachineCheckCache(const QHash<QString, MachineCheck>& checks, const QByteArray& fingerprint)
{
    QByteArray bytes = kCacheHeader + '\n' + fingerprint + '\n';
    QStringList names = checks.keys();
    names.sort();
    for (const QString& name : std::as_const(names)) {
        const MachineCheck& check = checks[name];
        // A check that could not be made is made again next time.
        if (check.start != MachineCheck::Start::Starts && check.start != MachineCheck::Start::DoesNotStart)
            continue;
        bytes += escapeField(name) + '\t' + (check.starts() ? "starts" : "fails") + '\t'
                 + (check.diskDrive ? (*check.diskDrive ? "1" : "0") : "?") + '\t' + (check.romsMissing ? "1" : "0")
                 + '\t' + escapeField(check.reason) + '\n';
    }
    return bytes;
}

OpenMsxMachineChecker::OpenMsxMachineChecker(const QString& program, const QString& cacheFile, QObject* parent)
    : QObject(parent), m_program(program), m_cacheFile(cacheFile)
{
    m_machineFolders = OpenMsxMachineFolders(program);
    m_machines = ListOpenMsxMachines(m_machineFolders);

    const QStringList romFolders = OpenMsxRomFolders(program);
    for (const QString& folder : romFolders) {
        const QFileInfo info(folder);
        if (info.exists() && (!info.isReadable() || !info.isExecutable()))
            m_unreadableRomFolders << folder;
    }
    m_fingerprint = OpenMsxSetupFingerprint(program, m_machineFolders, romFolders);

    for (const QString& machine : std::as_const(m_machines)) {
        const QString file = OpenMsxMachineFile(m_machineFolders, machine);
        const Result<QByteArray> xml = ReadFileBytes(file);
        MachineCheck check;
        if (xml)
            check.diskDrive = MachineHasDiskDrive(xml.value());
        m_checks.insert(machine, check);
    }
    if (!m_program.isEmpty() && !m_cacheFile.isEmpty()) {
        const Result<QByteArray> bytes = ReadFileBytes(m_cacheFile);
        const std::optional<QHash<QString, MachineCheck>> cached =
            bytes ? ReadMachineCheckCache(bytes.value(), m_fingerprint) : std::nullopt;
        if (cached) {
            for (auto it = cached->cbegin(); it != cached->cend(); ++it) {
                if (m_checks.contains(it.key()))
                    m_checks[it.key()] = it.value();
            }
        }
    }
}

OpenMsxMachineChecker::~OpenMsxMachineChecker()
{
    // Checks still running are ended with the window that asked for them.
    const QList<QProcess*> running = findChildren<QProcess*>();
    for (QProcess* process : running) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    }
}

void OpenMsxMachineChecker::start(const QStringList& only)
{
    if (m_started)
        return;
    m_started = true;
    for (const QString& machine : std::as_const(m_machines)) {
        if (!only.isEmpty() && !only.contains(machine))
            continue;
        MachineCheck& check = m_checks[machine];
        if (check.start != MachineCheck::Start::Unchecked)
            continue;
        if (m_program.isEmpty()) {
            check.start = MachineCheck::Start::CheckFailed;
            check.reason = QStringLiteral("openMSX was not found");
            continue;
        }
        m_queue << machine;
    }
    // Answers (from the cache, or none to give) come after the caller has connected.
    QTimer::singleShot(0, this, &OpenMsxMachineChecker::startNext);
}

void OpenMsxMachineChecker::startNext()
{
    while (m_running < kParallelChecks && !m_queue.isEmpty()) {
        const QString machine = m_queue.takeFirst();
        auto* process = new QProcess(this);
        process->setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // A check needs no sound; openMSX then does not wait for a sound device.
        environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        process->setProcessEnvironment(environment);
        auto* timer = new QTimer(process);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, [this, process, machine] { finishOne(process, machine, true); });
        connect(process, &QProcess::finished, this, [this, process, machine] { finishOne(process, machine, false); });
        connect(process, &QProcess::errorOccurred, this, [this, process, machine](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                finishOne(process, machine, false);
        });
        ++m_running;
        timer->start(m_timeoutMs);
        process->start(m_program, {QStringLiteral("-machine"), machine, QStringLiteral("-testconfig")});
    }
    if (m_running == 0 && m_queue.isEmpty() && !m_done) {
        m_done = true;
        if (!m_program.isEmpty() && !m_cacheFile.isEmpty())
            (void)WriteFileAtomic(m_cacheFile, WriteMachineCheckCache(m_checks, m_fingerprint));
        emit allChecked();
    }
}

void OpenMsxMachineChecker::finishOne(QProcess* process, const QString& machine, bool timedOut)
{
    if (process->property("checked").toBool())
        return;
    process->setProperty("checked", true);
    MachineCheck& check = m_checks[machine];
    if (timedOut) {
        check.start = MachineCheck::Start::CheckFailed;
        check.reason = QStringLiteral("openMSX gave no answer within %1 s").arg(m_timeoutMs / 1000.0);
        process->disconnect(this);
        process->kill();
        process->waitForFinished(1000);
    } else if (process->error() == QProcess::FailedToStart) {
        check.start = MachineCheck::Start::CheckFailed;
        check.reason = QStringLiteral("%1 could not be started").arg(m_program);
    } else {
        const QByteArray output = process->readAll();
        const bool starts = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        check.start = starts ? MachineCheck::Start::Starts : MachineCheck::Start::DoesNotStart;
        check.romsMissing = !starts && output.contains("Couldn't find ROM file");
        check.reason = starts ? QString() : reasonOf(output);
        if (!starts && check.reason.isEmpty())
            check.reason = QStringLiteral("openMSX ended with status %1").arg(process->exitCode());
    }
    process->deleteLater();
    --m_running;
    emit machineChecked(machine);
    startNext();
}

QString OpenMsxMachineChecker::firstStartingDiskMachine() const
{
    for (const QString& machine : m_machines) {
        if (m_checks.value(machine).startsWithDiskDrive())
            return machine;
    }
    return {};
}

QStringList OpenMsxMachineChecker::diskMachinesMissingRoms() const
{
    QStringList machines;
    for (const QString& machine : m_machines) {
        const MachineCheck check = m_checks.value(machine);
        if (check.romsMissing && check.diskDrive.value_or(false))
            machines << machine;
    }
    return machines;
}

QString OpenMsxMachineAdvice(const OpenMsxMachineChecker& checker)
{
    QStringList notes;
    for (const QString& folder : checker.unreadableRomFolders())
        notes << QStringLiteral("The ROM folder %1 cannot be read, so openMSX finds no ROMs there.").arg(folder);
    if (checker.done() && !checker.program().isEmpty() && checker.firstStartingDiskMachine().isEmpty()) {
        QString note = QStringLiteral("No machine with a disk drive can start: openMSX lacks their system ROMs. "
                                      "Copy the system ROMs you own into %1.")
                           .arg(UserSystemRomFolder());
        QStringList waiting = checker.diskMachinesMissingRoms();
        if (!waiting.isEmpty()) {
            constexpr int kShown = 8;
            const qsizetype more = waiting.size() - kShown;
            if (more > 0)
                waiting = waiting.mid(0, kShown) << QStringLiteral("and %1 more").arg(more);
            note += QStringLiteral(" With their ROMs these would start: %1.").arg(waiting.join(QStringLiteral(", ")));
        }
        notes << note;
    }
    return notes.join(QLatin1Char('\n'));
}

} // namespace common
