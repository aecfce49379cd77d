// travimo-store: the store's copies from the command line. Every store operation is the
// library's (external/userdb/UserDbBackup.h); this file parses, words and prints.
#include "tools/store/StoreTool.h"

#include "core/StringTable.h"
#include "external/userdb/UserDbBackup.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

namespace {

const char* const kUsage = R"(Usage: travimo-store COMMAND [FILE] [--folder DIR]

Looks after the user store (User.db) of a data folder and its copies in the
folder's Backup/.

Commands:
  backup
      Makes a checked copy of the store in Backup/. The program may be
      running: the copy holds one consistent state of the store.
  restore FILE
      Replaces the store by the copy FILE (a path, or a name that list shows)
      after checking it. The replaced store is kept in Backup/ as one more
      copy. Quit the program first: a store in use is not replaced.
  check
      Checks the store in depth and says whether it is sound; when it is not,
      names the newest copy that is.
  list
      Lists the copies, newest first: when, why, size, users and days.
  help
      Shows this text.

Options:
  --folder DIR   the data folder holding User.db. Without it, the program's
                 own: its program folder when that holds User.db or a file
                 "portable", else the per-user one (~/.local/share/Travimo/).

Exit status: 0 done (check: sound), 1 failed (check: not sound), 2 wrong usage.
)";

struct Args {
    QString command;
    QStringList positional;
    QString folder;
    bool help = false;
};

class UsageError {
public:
    explicit UsageError(QString text) : m_text(std::move(text)) {}
    const QString& Text() const { return m_text; }

private:
    QString m_text;
};

Args Parse(const QStringList& argv, const QString& defaultFolder)
{
    Args a;
    a.folder = defaultFolder;
    for (int i = 0; i < argv.size(); ++i) {
        const QString& s = argv[i];
        if (s == QStringLiteral("--help")) {
            a.help = true;
        } else if (s == QStringLiteral("--folder")) {
            if (i + 1 >= argv.size())
                throw UsageError(QStringLiteral("--folder needs a folder"));
            a.folder = argv[++i];
        } else if (s.startsWith(QStringLiteral("--folder="))) {
            a.folder = s.mid(9);
        } else if (s.startsWith(QStringLiteral("--"))) {
            throw UsageError(QStringLiteral("unknown option %1").arg(s));
        } else if (a.command.isEmpty()) {
            a.command = s;
        } else {
            a.positional << s;
        }
    }
    return a;
}

// The store's text for a result, in English (the pack is compiled in), "<r>" filled.
QString StoreMessage(int code)
{
    static const std::unique_ptr<CLanguagePack> english = [] {
        QFile file(QStringLiteral(":/English.lng"));
        return file.open(QIODevice::ReadOnly) ? CLanguagePack::Parse(file.readAll()) : nullptr;
    }();
    std::string detail;
    const int id = USER_GetErrorTextId(code, detail);
    const std::optional<QString> text = english ? english->String(id) : std::nullopt;
    if (!text)
        return QString::fromStdString(USER_GetErrorMsg(code));
    return ReplaceR(*text, QString::fromStdString(detail));
}

QString SizeText(int64_t bytes)
{
    if (bytes >= 1024 * 1024)
        return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
    return QStringLiteral("%1 KB").arg((bytes + 1023) / 1024);
}

QString TimeText(int64_t seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

// "3 days", "1 day", "? days" (not counted).
QString CountText(int count, const char* what)
{
    const QString number = count < 0 ? QStringLiteral("?") : QString::number(count);
    return number + QLatin1Char(' ') + QLatin1String(what) + (count == 1 ? QString() : QStringLiteral("s"));
}

class Tool {
public:
    Tool(QTextStream& out, QTextStream& err) : m_out(out), m_err(err) {}

    int Run(const Args& a)
    {
        if (a.command.isEmpty() || a.command == QStringLiteral("help") || a.help) {
            m_out << kUsage;
            return 0;
        }
        const int positional = a.command == QStringLiteral("restore") ? 1 : 0;
        if (a.command != QStringLiteral("backup") && a.command != QStringLiteral("restore") &&
            a.command != QStringLiteral("check") && a.command != QStringLiteral("list"))
            throw UsageError(QStringLiteral("unknown command \"%1\"").arg(a.command));
        if (a.positional.size() != positional)
            throw UsageError(positional ? QStringLiteral("restore takes one FILE") : QStringLiteral("%1 takes no FILE").arg(a.command));
        if (!QFileInfo(a.folder).isDir())
            return Fail(QStringLiteral("there is no folder %1").arg(a.folder));
        m_store = QDir(a.folder).absoluteFilePath(QString::fromLatin1(kUserDbFileName)).toStdString();
        if (a.command == QStringLiteral("backup"))
            return Backup();
        if (a.command == QStringLiteral("restore"))
            return Restore(a.positional[0]);
        if (a.command == QStringLiteral("check"))
            return Check();
        return List();
    }

private:
    int Fail(const QString& text)
    {
        m_err << "travimo-store: " << text << "\n";
        return 1;
    }

    QString Store() const { return QString::fromStdString(m_store); }

    int Backup()
    {
        std::string path;
        if (const int rc = USER_BackupStore(m_store, BackupReason::Manual, path); rc != USER_OK)
            return Fail(StoreMessage(rc));
        m_out << "Copied " << Store() << " into " << QString::fromStdString(path) << "\n";
        return 0;
    }

    int Restore(const QString& file)
    {
        // A name that list shows, or a path.
        QString copy = QFileInfo(file).absoluteFilePath();
        const QString listed = QString::fromStdString(USER_BackupFolder(m_store)) + file;
        if (!QFileInfo::exists(copy) && !file.contains(QLatin1Char('/')) && QFileInfo::exists(listed))
            copy = listed;
        std::string kept;
        if (const int rc = USER_RestoreBackup(m_store, copy.toStdString(), kept); rc != USER_OK)
            return Fail(StoreMessage(rc));
        m_out << "Restored " << copy << " into " << Store() << "\n";
        if (!kept.empty())
            m_out << "The replaced store was kept as " << QString::fromStdString(kept) << "\n";
        return 0;
    }

    int Check()
    {
        const int rc = USER_CheckStore(m_store);
        if (rc == USER_OK) {
            m_out << Store() << ": sound\n";
            return 0;
        }
        m_out << Store() << ": " << StoreMessage(rc) << "\n";
        BackupInfo good;
        if (USER_NewestGoodBackup(m_store, good) == USER_OK)
            m_out << "The newest sound copy is " << QString::fromStdString(good.name) << " (" << TimeText(good.time) << ", "
                  << BackupReasonName(good.reason) << ", " << CountText(good.users, "user") << ", "
                  << CountText(good.days, "day") << ").\nRestore it with: travimo-store restore "
                  << QString::fromStdString(good.name) << "\n";
        else
            m_out << "There is no sound copy in " << QString::fromStdString(USER_BackupFolder(m_store)) << "\n";
        return 1;
    }

    int List()
    {
        std::vector<BackupInfo> copies;
        if (const int rc = USER_ListBackups(m_store, copies); rc != USER_OK)
            return Fail(StoreMessage(rc));
        m_out << "Copies in " << QString::fromStdString(USER_BackupFolder(m_store)) << ": " << copies.size() << "\n";
        for (const BackupInfo& c : copies) {
            m_out << "  " << TimeText(c.time) << "  " << QString::fromLatin1(BackupReasonName(c.reason)).leftJustified(8)
                  << SizeText(c.bytes).rightJustified(9) << "  " << CountText(c.users, "user").rightJustified(9) << "  "
                  << CountText(c.days, "day").rightJustified(10) << "  " << QString::fromStdString(c.name) << "\n";
        }
        return 0;
    }

    QTextStream& m_out;
    QTextStream& m_err;
    std::string m_store;
};

}  // namespace

int RunStoreTool(const QStringList& args, const QString& defaultFolder, QTextStream& out, QTextStream& err)
{
    try {
        return Tool(out, err).Run(Parse(args, defaultFolder));
    } catch (const UsageError& e) {
        err << "travimo-store: " << e.Text() << "\n(travimo-store help shows how to use it)\n";
        return 2;
    }
}
