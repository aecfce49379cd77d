#pragma once
// The virtual pedometer port: a folder in which a pedometer file (*.ped, see
// PedometerFile.h) appearing means "plugged in" and disappearing "removed".
//
// - One pedometer at a time: the first readable file (by name) is connected;
//   others wait until it is removed.
// - A file that cannot be read is logged once and skipped; it is tried again
//   when its size or time stamp changes, and on every look until one read has
//   started more than two seconds after its time stamp. A writer that
//   finishes within the time stamp's resolution (same size, same stamp, only
//   the content differs) is therefore always seen, however late the next look
//   comes on a busy machine.
// - Changes to the connected file (our own writes, or a tool writing into it)
//   do not re-plug it: it is read once, when it arrives.
// - The folder is watched with QFileSystemWatcher and, because change
//   notification is not reliable for every file system and writer, polled too.

#include "external/usb/UsbPort.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <memory>
#include <mutex>

class QFileSystemWatcher;
class QTimer;

class CVirtualPedometerPort : public CPedometerPort {
public:
    static constexpr int kPollMs = 300;
    // A file that failed is read again, even if it looks unchanged, until a read has started
    // this long after its time stamp (more than any file system's time stamp resolution).
    static constexpr qint64 kSettleMs = 2000;

    explicit CVirtualPedometerPort(QString folder);
    ~CVirtualPedometerPort() override;

    void Open(Listener* listener) override;
    void Close() override;

    bool IsConnected() const override;
    bool ReadProfile(PedometerProfile& out) override;
    int ReadDayCount() override;
    bool ReadDay(int index, DeviceStepRecord& out) override;
    bool WriteProfile(const PedometerProfile& profile) override;
    bool EraseDays() override;

    QString Folder() const { return m_folder; }
    // Path of the connected pedometer file, empty when none.
    QString ConnectedFile() const;
    // Looks at the folder now (also done by the watcher and the poll timer).
    void Scan();

private:
    struct Stamp {
        qint64 size = -1;
        qint64 modified = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    // A file that failed, as it looked before the read that failed.
    struct Failed {
        Stamp stamp;
        bool final = false;  // that read started after the stamp had settled
    };
    static Stamp StampOf(const QString& path);
    // Rewrites the connected file with what edit makes of its current content.
    template <typename Edit>
    bool Rewrite(Edit edit);

    const QString m_folder;  // ends in '/'
    Listener* m_listener = nullptr;
    std::unique_ptr<QFileSystemWatcher> m_watcher;
    std::unique_ptr<QTimer> m_poll;

    mutable std::mutex m_mutex;       // guards what follows
    QString m_current;                // connected file
    PedometerFile m_content;          // its content as read when it arrived (and as we wrote it)
    QHash<QString, Failed> m_unreadable;  // files that could not be read
};
