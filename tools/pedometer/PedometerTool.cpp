#include "tools/pedometer/PedometerTool.h"

#include "external/usb/Generator.h"
#include "external/usb/PedometerFile.h"
#include "external/userdb/UserDb.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <map>
#include <optional>

namespace {

const char* const kUsage = R"(Usage: travimo-pedometer COMMAND [ARGUMENTS] [OPTIONS]

A virtual pedometer is a file. Plugging it in copies it into the port folder
that the program watches (its USB/ folder); unplugging takes it out again and
keeps what the program wrote into it.

Commands:
  create FILE [PROFILE] [--days N] [--first YYYY-MM-DD] [--seed N] [--force]
      Makes a new pedometer holding the profile and N days (default 7) of
      generated activity: quiet nights, walks and runs. The days end
      yesterday unless --first is given; --seed (default 1) makes them
      repeatable. Without --id the pedometer is uninitialised (ID 999999).
      --force overwrites an existing FILE.
  fill FILE --days N [--first YYYY-MM-DD] [--seed N]
      Adds N generated days after the last day the pedometer holds (or from
      --first; a day already held on a generated date is replaced).
      create and fill refuse days the program would not store: before
      2000-01-01, after 2099-12-31 or after today.
  show FILE
      Prints the profile and one line per day: date, steps, kcal and minutes
      of effective exercise (runs of 10 minutes or more at 3 METs or more,
      counted as the program counts them). A day the program would not
      store is marked and says why.
  set FILE PROFILE
      Changes the given profile values, keeping everything else.
  clear FILE
      Erases all day records, keeping the profile.
      (The program reads a pedometer when it arrives: change one that is
      not plugged in, or unplug and plug it again afterwards.)
  plug FILE [--port DIR]
      Plugs the pedometer in: copies it atomically into the port folder as
      NAME.ped. Refused when a pedometer of that name is plugged in already.
  unplug FILE [--port DIR] [--discard]
      Pulls the pedometer out: what it holds now (including what the program
      wrote into it) is saved back into FILE, then it leaves the port folder.
      With --discard, or when FILE is only a name, nothing is saved back.
  list [--port DIR]
      Lists the pedometers plugged into the port folder.
  help [COMMAND]
      Shows this text.

PROFILE options:
  --id N              user number (10001..999998 belongs to a user; 999999 = uninitialised)
  --sex male|female   (or 1|0)
  --height CM         0..300
  --weight KG         0..500
  --age YEARS         0..150
  --target KCAL       daily target, 0..100000
  --alarm HH:MM[:SS]  alarm time

The default port folder is the one the program watches: USB/ in its data
folder. That is the program folder (<build>/Travimo/) when it holds a User.db
or a file named portable, else the per-user folder ~/.local/share/Travimo/.
Exit status: 0 done, 1 failed, 2 wrong usage.
)";

struct Args {
    QString command;
    QStringList positional;
    QHash<QString, QString> options;  // "--name" -> value ("" for flags)
};

const QStringList kValueOptions = {QStringLiteral("--id"),     QStringLiteral("--sex"),    QStringLiteral("--height"),
                                   QStringLiteral("--weight"), QStringLiteral("--age"),    QStringLiteral("--target"),
                                   QStringLiteral("--alarm"),  QStringLiteral("--days"),   QStringLiteral("--first"),
                                   QStringLiteral("--seed"),   QStringLiteral("--port")};
const QStringList kFlagOptions = {QStringLiteral("--force"), QStringLiteral("--discard")};
const QStringList kProfileOptions = {QStringLiteral("--id"),     QStringLiteral("--sex"), QStringLiteral("--height"),
                                     QStringLiteral("--weight"), QStringLiteral("--age"), QStringLiteral("--target"),
                                     QStringLiteral("--alarm")};

class UsageError {
public:
    explicit UsageError(QString text) : m_text(std::move(text)) {}
    const QString& Text() const { return m_text; }

private:
    QString m_text;
};

Args Parse(const QStringList& argv)
{
    Args a;
    for (int i = 0; i < argv.size(); ++i) {
        QString s = argv[i];
        if (s.startsWith(QStringLiteral("--"))) {
            QString value;
            const int eq = s.indexOf(QLatin1Char('='));
            if (eq > 0) {
                value = s.mid(eq + 1);
                s = s.left(eq);
            }
            if (kFlagOptions.contains(s) && eq < 0) {
                a.options.insert(s, QString());
            } else if (kValueOptions.contains(s)) {
                if (eq < 0) {
                    if (i + 1 >= argv.size())
                        throw UsageError(QStringLiteral("%1 needs a value").arg(s));
                    value = argv[++i];
                }
                a.options.insert(s, value);
            } else if (s == QStringLiteral("--help")) {
                a.options.insert(s, QString());
            } else {
                throw UsageError(QStringLiteral("unknown option %1").arg(s));
            }
        } else if (a.command.isEmpty()) {
            a.command = s;
        } else {
            a.positional << s;
        }
    }
    return a;
}

void Allow(const Args& a, const QStringList& allowed, int positional)
{
    for (auto it = a.options.constBegin(); it != a.options.constEnd(); ++it) {
        if (!allowed.contains(it.key()))
            throw UsageError(QStringLiteral("%1 does not take %2").arg(a.command, it.key()));
    }
    if (a.positional.size() != positional)
        throw UsageError(positional == 1 ? QStringLiteral("%1 takes one FILE").arg(a.command)
                                         : QStringLiteral("%1 takes no FILE").arg(a.command));
}

int IntOption(const Args& a, const QString& name, int fallback)
{
    if (!a.options.contains(name))
        return fallback;
    bool ok = false;
    const int v = a.options.value(name).toInt(&ok);
    if (!ok)
        throw UsageError(QStringLiteral("%1 wants a whole number, not \"%2\"").arg(name, a.options.value(name)));
    return v;
}

std::optional<QDate> DateOption(const Args& a)
{
    if (!a.options.contains(QStringLiteral("--first")))
        return std::nullopt;
    const QString text = a.options.value(QStringLiteral("--first"));
    const QDate d = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid() || d.year() < 1900)
        throw UsageError(QStringLiteral("--first wants a date YYYY-MM-DD, not \"%1\"").arg(text));
    return d;
}

// Applies the profile options given; throws on a malformed value.
void ApplyProfile(const Args& a, PedometerProfile& p)
{
    p.id = IntOption(a, QStringLiteral("--id"), p.id);
    if (a.options.contains(QStringLiteral("--sex"))) {
        const QString s = a.options.value(QStringLiteral("--sex")).toLower();
        if (s == QStringLiteral("male") || s == QStringLiteral("m") || s == QStringLiteral("1"))
            p.sex = 1;
        else if (s == QStringLiteral("female") || s == QStringLiteral("f") || s == QStringLiteral("0"))
            p.sex = 0;
        else
            throw UsageError(QStringLiteral("--sex wants male or female, not \"%1\"").arg(s));
    }
    p.height = IntOption(a, QStringLiteral("--height"), p.height);
    p.weight = IntOption(a, QStringLiteral("--weight"), p.weight);
    p.age = IntOption(a, QStringLiteral("--age"), p.age);
    p.targetCalories = IntOption(a, QStringLiteral("--target"), p.targetCalories);
    if (a.options.contains(QStringLiteral("--alarm"))) {
        const QString text = a.options.value(QStringLiteral("--alarm"));
        const QStringList parts = text.split(QLatin1Char(':'));
        bool ok = parts.size() == 2 || parts.size() == 3;
        int v[3] = {0, 0, 0};
        for (int i = 0; ok && i < parts.size(); ++i)
            v[i] = parts[i].toInt(&ok);
        if (!ok)
            throw UsageError(QStringLiteral("--alarm wants HH:MM or HH:MM:SS, not \"%1\"").arg(text));
        p.alarmHour = v[0];
        p.alarmMinute = v[1];
        p.alarmSecond = v[2];
    }
}

QString DateText(double oleDate)
{
    return QString::fromStdString(OleDateText(oleDate));
}

// Why the program's store would not take a day, in words (empty when it would).
QString RefusalText(const DeviceStepRecord& day)
{
    switch (FindDayRefusal(day, TodayOleDate())) {
    case DayRefusal::None:
        return QString();
    case DayRefusal::InvalidDate:
        return QStringLiteral("its date is marked invalid");
    case DayRefusal::OutOfRange:
        return QStringLiteral("it is before 2000-01-01 or after 2099-12-31");
    case DayRefusal::InFuture:
        return QStringLiteral("it is in the future");
    case DayRefusal::InvalidValues:
        break;
    }
    return QStringLiteral("it holds negative or invalid values");
}

QString PortFileName(const QString& file)
{
    QString name = QFileInfo(file).fileName();
    if (!name.endsWith(kPedometerSuffix, Qt::CaseInsensitive))
        name += kPedometerSuffix;
    return name;
}

QString PortFolder(const Args& a, const QString& defaultPort)
{
    QString port = a.options.value(QStringLiteral("--port"), defaultPort);
    if (!port.endsWith(QLatin1Char('/')))
        port += QLatin1Char('/');
    return port;
}

bool WriteBytesAtomically(const QString& path, const QByteArray& bytes, QString& why)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        why = f.errorString();
        return false;
    }
    return true;
}

// Adds generated days from `first` (replacing days held on those dates), sorted by date.
// Refuses (adding nothing) when the program would not store one of them.
bool AddDays(PedometerFile& f, QDate first, int count, uint32_t seed, QString& why)
{
    const std::vector<DeviceStepRecord> added = GenerateDays(first.year(), first.month(), first.day(), count, f.profile.weight, seed);
    for (const DeviceStepRecord& d : added) {
        const QString refusal = RefusalText(d);
        if (!refusal.isEmpty()) {
            why = QStringLiteral("the program would not store %1: %2").arg(DateText(d.date.dt), refusal);
            return false;
        }
    }
    std::map<double, DeviceStepRecord> byDate;
    for (const DeviceStepRecord& d : f.days)
        byDate[d.date.dt] = d;
    for (const DeviceStepRecord& d : added)
        byDate[d.date.dt] = d;
    if (byDate.size() > static_cast<size_t>(kPedometerMaxDays)) {
        why = QStringLiteral("a pedometer holds at most %1 days (this would make %2)").arg(kPedometerMaxDays).arg(byDate.size());
        return false;
    }
    f.days.clear();
    for (const auto& [date, day] : byDate)
        f.days.push_back(day);
    return true;
}

int DaysOption(const Args& a, int fallback)
{
    const int days = IntOption(a, QStringLiteral("--days"), fallback);
    if (days < 0 || days > kPedometerMaxDays)
        throw UsageError(QStringLiteral("--days wants 0..%1").arg(kPedometerMaxDays));
    return days;
}

class Tool {
public:
    Tool(QTextStream& out, QTextStream& err, QString defaultPort) : m_out(out), m_err(err), m_defaultPort(std::move(defaultPort)) {}

    int Run(const Args& a)
    {
        if (a.command.isEmpty() || a.command == QStringLiteral("help") || a.options.contains(QStringLiteral("--help"))) {
            const QString topic = a.command == QStringLiteral("help") ? a.positional.value(0) : a.command;
            m_out << PedometerToolHelp(topic);
            return 0;
        }
        if (a.command == QStringLiteral("create"))
            return Create(a);
        if (a.command == QStringLiteral("fill"))
            return Fill(a);
        if (a.command == QStringLiteral("show"))
            return Show(a);
        if (a.command == QStringLiteral("set"))
            return Set(a);
        if (a.command == QStringLiteral("clear"))
            return Clear(a);
        if (a.command == QStringLiteral("plug"))
            return Plug(a);
        if (a.command == QStringLiteral("unplug"))
            return Unplug(a);
        if (a.command == QStringLiteral("list"))
            return List(a);
        throw UsageError(QStringLiteral("unknown command \"%1\"").arg(a.command));
    }

private:
    int Fail(const QString& text)
    {
        m_err << "travimo-pedometer: " << text << "\n";
        return 1;
    }

    bool Load(const QString& path, PedometerFile& f)
    {
        QString why;
        if (LoadPedometerFile(path, f, &why))
            return true;
        Fail(QStringLiteral("%1: %2").arg(path, why));
        return false;
    }

    int Save(const QString& path, const PedometerFile& f, const QString& done)
    {
        QString why;
        if (!SavePedometerFile(path, f, &why))
            return Fail(QStringLiteral("%1: %2").arg(path, why));
        m_out << done << "\n";
        return 0;
    }

    int Create(const Args& a)
    {
        QStringList allowed = kProfileOptions;
        allowed << QStringLiteral("--days") << QStringLiteral("--first") << QStringLiteral("--seed") << QStringLiteral("--force");
        Allow(a, allowed, 1);
        const QString path = a.positional[0];
        if (QFileInfo::exists(path) && !a.options.contains(QStringLiteral("--force")))
            return Fail(QStringLiteral("%1 exists (use --force to overwrite it)").arg(path));
        PedometerFile f;
        ApplyProfile(a, f.profile);
        QString why;
        if (!IsValidProfile(f.profile, &why))
            return Fail(why);
        const int days = DaysOption(a, 7);
        const QDate first = DateOption(a).value_or(QDate::currentDate().addDays(-days));
        const auto seed = static_cast<uint32_t>(IntOption(a, QStringLiteral("--seed"), 1));
        if (!AddDays(f, first, days, seed, why))
            return Fail(why);
        return Save(path, f, QStringLiteral("Created %1: ID %2, %3 days").arg(path).arg(f.profile.id).arg(f.days.size()));
    }

    int Fill(const Args& a)
    {
        Allow(a, {QStringLiteral("--days"), QStringLiteral("--first"), QStringLiteral("--seed")}, 1);
        if (!a.options.contains(QStringLiteral("--days")))
            throw UsageError(QStringLiteral("fill needs --days N"));
        const QString path = a.positional[0];
        PedometerFile f;
        if (!Load(path, f))
            return 1;
        const int days = DaysOption(a, 0);
        QDate first;
        if (const auto given = DateOption(a)) {
            first = *given;
        } else if (!f.days.empty()) {
            double last = f.days.front().date.dt;
            for (const DeviceStepRecord& d : f.days)
                last = std::max(last, d.date.dt);
            const Ymd y = OleDateToYmd(last + 1);
            first = QDate(y.year, y.month, y.day);
        } else {
            first = QDate::currentDate().addDays(-days);
        }
        const auto seed = static_cast<uint32_t>(IntOption(a, QStringLiteral("--seed"), 1));
        QString why;
        if (!AddDays(f, first, days, seed, why))
            return Fail(why);
        return Save(path, f, QStringLiteral("%1 now holds %2 days").arg(path).arg(f.days.size()));
    }

    int Show(const Args& a)
    {
        Allow(a, {}, 1);
        const QString path = a.positional[0];
        PedometerFile f;
        if (!Load(path, f))
            return 1;
        const PedometerProfile& p = f.profile;
        m_out << "Pedometer " << path << "\n";
        m_out << "  ID:           " << p.id << (IsBlankPedometerId(p.id) ? " (uninitialised)" : "") << "\n";
        m_out << "  Sex:          " << (p.sex == 1 ? "male" : "female") << "\n";
        m_out << "  Height:       " << p.height << " cm\n";
        m_out << "  Weight:       " << p.weight << " kg\n";
        m_out << "  Age:          " << p.age << "\n";
        m_out << "  Daily target: " << p.targetCalories << " kcal\n";
        m_out << QStringLiteral("  Alarm:        %1:%2:%3\n")
                     .arg(p.alarmHour, 2, 10, QLatin1Char('0'))
                     .arg(p.alarmMinute, 2, 10, QLatin1Char('0'))
                     .arg(p.alarmSecond, 2, 10, QLatin1Char('0'));
        m_out << "  Days:         " << f.days.size() << "\n";
        if (f.days.empty())
            return 0;
        m_out << "  Date           Steps       kcal   Exercise min\n";
        for (const DeviceStepRecord& d : f.days) {
            m_out << QStringLiteral("  %1 %2 %3 ").arg(DateText(d.date.dt)).arg(d.steps, 9).arg(d.calories, 10, 'f', 1);
            const QString refusal = RefusalText(d);
            if (!refusal.isEmpty()) {
                m_out << "  not stored by the program: " << refusal << "\n";
                continue;
            }
            // The store's own analysis, with the weight it would be stored with.
            StepRecord analysis;
            AnalyseExercise(d, p.weight, analysis);
            m_out << QStringLiteral("%1\n").arg(analysis.effectiveMinutes, 14);
        }
        return 0;
    }

    int Set(const Args& a)
    {
        Allow(a, kProfileOptions, 1);
        bool any = false;
        for (const QString& o : kProfileOptions)
            any = any || a.options.contains(o);
        if (!any)
            throw UsageError(QStringLiteral("set needs at least one profile option"));
        const QString path = a.positional[0];
        PedometerFile f;
        if (!Load(path, f))
            return 1;
        ApplyProfile(a, f.profile);
        QString why;
        if (!IsValidProfile(f.profile, &why))
            return Fail(why);
        return Save(path, f, QStringLiteral("Updated %1").arg(path));
    }

    int Clear(const Args& a)
    {
        Allow(a, {}, 1);
        const QString path = a.positional[0];
        PedometerFile f;
        if (!Load(path, f))
            return 1;
        const size_t before = f.days.size();
        f.days.clear();
        return Save(path, f, QStringLiteral("Erased %1 days from %2").arg(before).arg(path));
    }

    int Plug(const Args& a)
    {
        Allow(a, {QStringLiteral("--port")}, 1);
        const QString path = a.positional[0];
        const QString port = PortFolder(a, m_defaultPort);
        PedometerFile f;
        if (!Load(path, f))
            return 1;
        if (!QDir().mkpath(port))
            return Fail(QStringLiteral("cannot make the port folder %1").arg(port));
        const QString target = port + PortFileName(path);
        if (QFileInfo(target).absoluteFilePath() == QFileInfo(path).absoluteFilePath())
            return Fail(QStringLiteral("%1 is in the port folder already").arg(path));
        if (QFileInfo::exists(target))
            return Fail(QStringLiteral("%1 is plugged in already (unplug it first)").arg(target));
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("%1: %2").arg(path, in.errorString()));
        QString why;
        if (!WriteBytesAtomically(target, in.readAll(), why))
            return Fail(QStringLiteral("%1: %2").arg(target, why));
        m_out << "Plugged in " << target << "\n";
        return 0;
    }

    int Unplug(const Args& a)
    {
        Allow(a, {QStringLiteral("--port"), QStringLiteral("--discard")}, 1);
        const QString path = a.positional[0];
        const QString port = PortFolder(a, m_defaultPort);
        const QString target = port + PortFileName(path);
        if (!QFileInfo::exists(target))
            return Fail(QStringLiteral("no pedometer %1 is plugged in").arg(target));
        const bool sameFile = QFileInfo(target).absoluteFilePath() == QFileInfo(path).absoluteFilePath();
        const bool saveBack = !a.options.contains(QStringLiteral("--discard")) && !sameFile && QFileInfo::exists(path);
        if (saveBack) {
            PedometerFile f;
            QString why;
            // Only a pedometer that can be read is worth keeping; never replace FILE by garbage.
            if (!LoadPedometerFile(target, f, &why))
                return Fail(QStringLiteral("%1 cannot be read (%2); use --discard to pull it out anyway").arg(target, why));
            if (!SavePedometerFile(path, f, &why))
                return Fail(QStringLiteral("%1: %2").arg(path, why));
        }
        if (!QFile::remove(target))
            return Fail(QStringLiteral("cannot remove %1").arg(target));
        m_out << "Unplugged " << target << (saveBack ? QStringLiteral(" (saved into %1)").arg(path) : QString()) << "\n";
        return 0;
    }

    int List(const Args& a)
    {
        Allow(a, {QStringLiteral("--port")}, 0);
        const QString port = PortFolder(a, m_defaultPort);
        const QFileInfoList files = QDir(port).entryInfoList(QStringList{QLatin1Char('*') + kPedometerSuffix}, QDir::Files, QDir::Name);
        m_out << "Port folder " << port << ": " << files.size() << (files.size() == 1 ? " pedometer\n" : " pedometers\n");
        for (const QFileInfo& info : files) {
            PedometerFile f;
            QString why;
            if (LoadPedometerFile(info.absoluteFilePath(), f, &why))
                m_out << "  " << info.fileName() << ": ID " << f.profile.id << ", " << f.days.size() << " days\n";
            else
                m_out << "  " << info.fileName() << ": cannot be read (" << why << ")\n";
        }
        return 0;
    }

    QTextStream& m_out;
    QTextStream& m_err;
    QString m_defaultPort;
};

}  // namespace

QString PedometerToolHelp(const QString& command)
{
    const QString all = QString::fromUtf8(kUsage);
    if (command.isEmpty())
        return all;
    // The command's own paragraph, plus the profile options where it takes them.
    const QStringList lines = all.split(QLatin1Char('\n'));
    QString text;
    bool in = false;
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("  ") + command + QLatin1Char(' ')) || line == QStringLiteral("  ") + command)
            in = true;
        else if (in && !line.startsWith(QStringLiteral("      ")))
            break;
        if (in)
            text += line + QLatin1Char('\n');
    }
    if (text.isEmpty())
        return all;
    if (text.contains(QStringLiteral("PROFILE")))
        text += QLatin1Char('\n') + all.mid(all.indexOf(QStringLiteral("PROFILE options:")),
                                             all.indexOf(QStringLiteral("\nThe default port")) - all.indexOf(QStringLiteral("PROFILE options:")) + 1);
    return QStringLiteral("Usage: travimo-pedometer\n") + text;
}

int RunPedometerTool(const QStringList& args, const QString& defaultPort, QTextStream& out, QTextStream& err)
{
    try {
        return Tool(out, err, defaultPort).Run(Parse(args));
    } catch (const UsageError& e) {
        err << "travimo-pedometer: " << e.Text() << "\n(travimo-pedometer help shows how to use it)\n";
        return 2;
    }
}
