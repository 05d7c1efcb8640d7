#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QProcess;

namespace common {

// What is known about one openMSX machine: whether `openmsx -machine NAME -testconfig` starts it
// (openMSX exits 0 when it can, 1 when it cannot, saying which ROM it misses) and whether its
// description has a disk drive.
struct MachineCheck {
    enum class Start { Unchecked, Starts, DoesNotStart, CheckFailed };
    Start start = Start::Unchecked;
    std::optional<bool> diskDrive; // nothing when the description cannot be read or is damaged
    bool romsMissing = false;      // it does not start because ROM files are missing
    QString reason;                // what openMSX said when it does not start, or why the check failed

    [[nodiscard]] bool starts() const { return start == Start::Starts; }
    [[nodiscard]] bool startsWithDiskDrive() const { return starts() && diskDrive.value_or(false); }
    bool operator==(const MachineCheck& other) const
    {
        return start == other.start && diskDrive == other.diskDrive && romsMissing == other.romsMissing
               && reason == other.reason;
    }
};

// A short mark for a machine: "starts, disk drive", "starts, no disk drive", "ROMs missing", ...
[[nodiscard]] QString MachineCheckMark(const MachineCheck& check);

// The folders openMSX takes system ROMs from: <share>/systemroms beside each data folder (the
// system's and the user's), whether or not they exist.
[[nodiscard]] QStringList OpenMsxRomFolders(const QString& programPath);

// The user's system ROM folder (~/.openMSX/share/systemroms, or under OPENMSX_USER_DATA): where
// the ROMs a user owns go.
[[nodiscard]] QString UserSystemRomFolder();

// One text that changes whenever the openMSX program, its machine folders or its ROM folders
// change (a file added, removed, resized or rewritten).
[[nodiscard]] QByteArray OpenMsxSetupFingerprint(const QString& programPath, const QStringList& machineFolders,
                                                 const QStringList& romFolders);

// The checks a cache file holds when it was written for `fingerprint`; nothing when the file is
// missing, damaged or written for another setup.
[[nodiscard]] std::optional<QHash<QString, MachineCheck>> ReadMachineCheckCache(const QByteArray& bytes,
                                                                                const QByteArray& fingerprint);
[[nodiscard]] QByteArray WriteMachineCheckCache(const QHash<QString, MachineCheck>& checks,
                                                const QByteArray& fingerprint);

// Checks every machine of an openMSX in the background: a few -testconfig runs at a time, each
// ended after a time limit, so an openMSX that hangs never holds anything up. Results come from
// the cache file at once when openMSX, its machine folders and its ROM folders are as they were
// when it was written; new results are written to it when all machines are checked.
class OpenMsxMachineChecker : public QObject {
    Q_OBJECT
public:
    // `program`: the openMSX program ("" when none was found: nothing can start).
    OpenMsxMachineChecker(const QString& program, const QString& cacheFile, QObject* parent = nullptr);
    ~OpenMsxMachineChecker() override;

    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    // Starts the checks that the cache does not answer, of `only` those machines when given;
    // allChecked() follows when none is left.
    void start(const QStringList& only = {});

    [[nodiscard]] const QString& program() const { return m_program; }
    [[nodiscard]] const QStringList& machineFolders() const { return m_machineFolders; }
    [[nodiscard]] const QStringList& machines() const { return m_machines; }
    [[nodiscard]] MachineCheck check(const QString& machine) const { return m_checks.value(machine); }
    [[nodiscard]] bool done() const { return m_done; }
    // ROM folders that exist but cannot be read: openMSX finds no ROMs there.
    [[nodiscard]] const QStringList& unreadableRomFolders() const { return m_unreadableRomFolders; }

    // The first machine that starts and has a disk drive; "" when none does (yet).
    [[nodiscard]] QString firstStartingDiskMachine() const;
    // Machines with a disk drive that do not start only because ROM files are missing.
    [[nodiscard]] QStringList diskMachinesMissingRoms() const;

signals:
    void machineChecked(const QString& machine);
    void allChecked();

private:
    void startNext();
    void finishOne(QProcess* process, const QString& machine, bool timedOut);

    QString m_program;
    QString m_cacheFile;
    QStringList m_machineFolders;
    QStringList m_machines;
    QStringList m_unreadableRomFolders;
    QByteArray m_fingerprint;
    QHash<QString, MachineCheck> m_checks;
    QStringList m_queue;
    int m_running = 0;
    int m_timeoutMs = 10000;
    bool m_started = false;
    bool m_done = false;
};

// What a window tells about the machines once they are checked: ROM folders openMSX cannot read,
// and, when no machine with a disk drive starts, where the system ROMs go and which machines would
// then start. "" when there is nothing to tell.
[[nodiscard]] QString OpenMsxMachineAdvice(const OpenMsxMachineChecker& checker);

} // namespace common
