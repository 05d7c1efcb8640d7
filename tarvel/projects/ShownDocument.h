#pragma once

#include <QString>

namespace tarvel {

// What a file is on disk, to tell whether someone else has written, replaced or deleted it since
// it was last read or written here. Taken without opening the file.
struct DiskIdentity {
    bool exists = false;
    qint64 size = 0;
    qint64 modifiedNs = 0; // modification time in nanoseconds since the epoch
    quint64 device = 0;
    quint64 inode = 0;

    bool operator==(const DiskIdentity& other) const
    {
        return exists == other.exists && size == other.size && modifiedNs == other.modifiedNs && device == other.device
            && inode == other.inode;
    }
    bool operator!=(const DiskIdentity& other) const { return !(*this == other); }
};

// The identity of the file at `path` now (a link counts as the file it points to); `exists` is
// false when there is none.
[[nodiscard]] DiskIdentity ReadDiskIdentity(const QString& path);

// The document the editor shows: the file it was read from, that file's identity on disk when it
// was read or last written, and whether the editor holds edits not written to it. Every command
// that would replace or end the document, and every save, asks this owner what must happen
// first, so the rules live in one place:
// - edits are never dropped unasked: they are saved (AutoSave) or the user is asked;
// - a save onto a file that changed or vanished on disk since is asked about first;
// - a file that changed on disk is reloaded when there are no edits, else the user is asked,
//   once for each outside change.
class ShownDocument {
public:
    // The editor now holds exactly the file at `path` as it is on disk (just read or written).
    void attach(const QString& path);
    // No document.
    void detach();

    bool isOpen() const { return !m_path.isEmpty(); }
    const QString& path() const { return m_path; }

    // Whether the editor holds edits not written to the file.
    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // What must happen before the edits may be dropped (the document closed or replaced).
    enum class BeforeDrop { Nothing, Save, Ask };
    [[nodiscard]] BeforeDrop beforeDrop(bool autoSave) const;

    // Whether the file on disk is still the one read or written last.
    enum class OnDisk { Same, Changed, Vanished };
    [[nodiscard]] OnDisk onDisk() const;

    // What to do when the user comes back (the window is active again, or the document is shown
    // again): reload an unedited document whose file changed, ask about an edited one. An
    // outside change the user chose to keep edits over is not asked about again.
    enum class OnReturn { Nothing, Reload, Ask };
    [[nodiscard]] OnReturn onReturn() const;
    // The user keeps the edits over the file as it is on disk now.
    void keepEditsOverDisk();

private:
    QString m_path;
    DiskIdentity m_identity;
    DiskIdentity m_keptOver;
    bool m_modified = false;
};

} // namespace tarvel
