#include "external/usb/VirtualPort.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QtDebug>

#include <utility>

CVirtualPedometerPort::CVirtualPedometerPort(QString folder)
    : m_folder(folder.endsWith(QLatin1Char('/')) ? std::move(folder) : std::move(folder) + QLatin1Char('/'))
{
}

CVirtualPedometerPort::~CVirtualPedometerPort() = default;

void CVirtualPedometerPort::Open(Listener* listener)
{
    m_listener = listener;
    m_watcher = std::make_unique<QFileSystemWatcher>();
    QObject::connect(m_watcher.get(), &QFileSystemWatcher::directoryChanged, m_watcher.get(), [this] { Scan(); });
    m_poll = std::make_unique<QTimer>();
    m_poll->setInterval(kPollMs);
    QObject::connect(m_poll.get(), &QTimer::timeout, m_poll.get(), [this] { Scan(); });
    m_poll->start();
    Scan();
}

void CVirtualPedometerPort::Close()
{
    m_poll.reset();
    m_watcher.reset();
    m_listener = nullptr;
    std::lock_guard lock(m_mutex);
    m_current.clear();
    m_content = PedometerFile{};
    m_unreadable.clear();
}

CVirtualPedometerPort::Stamp CVirtualPedometerPort::StampOf(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return Stamp{};
    return Stamp{info.size(), info.lastModified().toMSecsSinceEpoch()};
}

QString CVirtualPedometerPort::ConnectedFile() const
{
    std::lock_guard lock(m_mutex);
    return m_current;
}

void CVirtualPedometerPort::Scan()
{
    // The folder may appear after start-up, or be recreated; watch it whenever it is there.
    if (m_watcher && m_watcher->directories().isEmpty() && QFileInfo(m_folder).isDir())
        m_watcher->addPath(m_folder);

    bool removed = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_current.isEmpty()) {
            if (QFileInfo::exists(m_current))
                return;  // one pedometer at a time
            m_current.clear();
            m_content = PedometerFile{};
            removed = true;
        }
    }
    if (removed && m_listener)
        m_listener->PortDisconnected();

    const QFileInfoList files = QDir(m_folder).entryInfoList(QStringList{QLatin1Char('*') + kPedometerSuffix},
                                                              QDir::Files | QDir::Readable, QDir::Name);
    QHash<QString, Failed> seenUnreadable;
    bool connected = false;
    for (const QFileInfo& info : files) {
        const QString path = info.absoluteFilePath();
        // The clock is read before the stamp and the stamp before the content: a write that
        // lands after this read has started can only carry a later stamp once this look is final.
        const qint64 lookedAt = QDateTime::currentMSecsSinceEpoch();
        const Stamp stamp = StampOf(path);
        bool warned = false;
        {
            std::lock_guard lock(m_mutex);
            const auto it = m_unreadable.constFind(path);
            if (it != m_unreadable.constEnd() && it->stamp == stamp) {
                warned = true;
                // Unchanged since a read that started after the stamp had settled: leave it.
                if (it->final) {
                    seenUnreadable.insert(path, *it);
                    continue;
                }
            }
        }
        PedometerFile content;
        QString why;
        if (LoadPedometerFile(path, content, &why)) {
            std::lock_guard lock(m_mutex);
            m_current = path;
            m_content = std::move(content);
            connected = true;
            break;
        }
        if (!warned)
            qWarning("Pedometer file %s could not be read: %s", qUtf8Printable(path), qUtf8Printable(why));
        seenUnreadable.insert(path, Failed{stamp, lookedAt - stamp.modified > kSettleMs});
    }
    {
        // Forget files that went away, so that a new file under the same name is read again.
        std::lock_guard lock(m_mutex);
        if (connected) {
            for (auto it = m_unreadable.constBegin(); it != m_unreadable.constEnd(); ++it) {
                if (!seenUnreadable.contains(it.key()) && QFileInfo::exists(it.key()))
                    seenUnreadable.insert(it.key(), it.value());
            }
        }
        m_unreadable = std::move(seenUnreadable);
    }
    if (connected && m_listener)
        m_listener->PortConnected();
}

bool CVirtualPedometerPort::IsConnected() const
{
    std::lock_guard lock(m_mutex);
    return !m_current.isEmpty() && QFileInfo::exists(m_current);
}

bool CVirtualPedometerPort::ReadProfile(PedometerProfile& out)
{
    std::lock_guard lock(m_mutex);
    if (m_current.isEmpty())
        return false;
    out = m_content.profile;
    return true;
}

int CVirtualPedometerPort::ReadDayCount()
{
    std::lock_guard lock(m_mutex);
    if (m_current.isEmpty())
        return -1;
    return static_cast<int>(m_content.days.size());
}

bool CVirtualPedometerPort::ReadDay(int index, DeviceStepRecord& out)
{
    std::lock_guard lock(m_mutex);
    if (m_current.isEmpty() || index < 0 || index >= static_cast<int>(m_content.days.size()))
        return false;
    out = m_content.days[static_cast<size_t>(index)];
    return true;
}

template <typename Edit>
bool CVirtualPedometerPort::Rewrite(Edit edit)
{
    std::lock_guard lock(m_mutex);
    // A pedometer pulled out cannot be written; an atomic save would otherwise plug it back in.
    if (m_current.isEmpty() || !QFileInfo::exists(m_current))
        return false;
    // Start from what the file holds now, so nothing written by someone else is lost.
    PedometerFile content;
    QString why;
    if (!LoadPedometerFile(m_current, content, &why)) {
        qWarning("Pedometer file %s could not be read for writing: %s", qUtf8Printable(m_current), qUtf8Printable(why));
        return false;
    }
    edit(content);
    if (!SavePedometerFile(m_current, content, &why)) {
        qWarning("Pedometer file %s could not be written: %s", qUtf8Printable(m_current), qUtf8Printable(why));
        return false;
    }
    m_content = std::move(content);
    return true;
}

bool CVirtualPedometerPort::WriteProfile(const PedometerProfile& profile)
{
    if (!IsValidProfile(profile))
        return false;
    return Rewrite([&](PedometerFile& f) { f.profile = profile; });
}

bool CVirtualPedometerPort::EraseDays()
{
    return Rewrite([](PedometerFile& f) { f.days.clear(); });
}
