// One copy per desktop session: the guard's private folder and session key, a peer believed
// only when it is this user, and real copies of the program started together, stopped, on
// two displays, and beside another account's socket in the shared temp folder.

#include "app/InstanceGuard.h"
#include "core/StringTable.h"
#include "tests/support/ProgramFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr uid_t kNobody = 65534;

QProcessEnvironment EnvWith(std::initializer_list<std::pair<const char*, QString>> values)
{
    QProcessEnvironment env;
    for (const auto& [key, value] : values)
        env.insert(QString::fromLatin1(key), value);
    return env;
}

TEST(GuardFolder, OnlyAFolderOfThisUserAloneIsPrivate)
{
    QTemporaryDir dir;
    const QString own = dir.filePath("own");
    ASSERT_TRUE(QDir().mkdir(own));
    ::chmod(QFile::encodeName(own).constData(), 0700);
    EXPECT_TRUE(IsPrivateFolder(own));
    ::chmod(QFile::encodeName(own).constData(), 0770);
    EXPECT_FALSE(IsPrivateFolder(own));
    ::chmod(QFile::encodeName(own).constData(), 0701);
    EXPECT_FALSE(IsPrivateFolder(own));
    ::chmod(QFile::encodeName(own).constData(), 0700);
    ASSERT_TRUE(QFile::link(own, dir.filePath("link")));
    EXPECT_FALSE(IsPrivateFolder(dir.filePath("link")));  // a link may be swapped under us
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    EXPECT_FALSE(IsPrivateFolder(file.fileName()));
    EXPECT_FALSE(IsPrivateFolder(dir.filePath("absent")));
    if (::getuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(own).constData(), kNobody, kNobody), 0);
        EXPECT_FALSE(IsPrivateFolder(own));
    }
}

TEST(GuardFolder, RuntimeFolderFallsBackWhenTheSessionsIsNotPrivate)
{
    QTemporaryDir runtime, temp, home;
    const QString uid = QString::number(::getuid());
    EXPECT_EQ(PrivateRuntimeFolder(EnvWith({{"XDG_RUNTIME_DIR", runtime.path()}, {"TMPDIR", temp.path()}})),
              QDir::cleanPath(runtime.path()));
    // A runtime folder others may write: a private folder of our own in the temp folder instead.
    ::chmod(QFile::encodeName(runtime.path()).constData(), 0777);
    const QString mine = temp.path() + "/travimo-" + uid;
    EXPECT_EQ(PrivateRuntimeFolder(EnvWith({{"XDG_RUNTIME_DIR", runtime.path()}, {"TMPDIR", temp.path()}})), mine);
    EXPECT_TRUE(IsPrivateFolder(mine));
    // Someone else made that name first: the user's own cache folder.
    ASSERT_TRUE(QDir(mine).removeRecursively());
    ASSERT_TRUE(QDir().mkdir(mine));
    ::chmod(QFile::encodeName(mine).constData(), 0777);
    EXPECT_EQ(PrivateRuntimeFolder(EnvWith({{"TMPDIR", temp.path()}, {"HOME", home.path()}})),
              home.path() + "/.cache/travimo-" + uid);
    EXPECT_FALSE(InstanceGuardName(EnvWith({{"TMPDIR", temp.path()}, {"HOME", home.path()}})).startsWith(temp.path()));
}

TEST(GuardFolder, TheSessionKeyTellsDisplaysApart)
{
    const QString one = SessionKey(EnvWith({{"DISPLAY", ":1"}}));
    EXPECT_EQ(SessionKey(EnvWith({{"DISPLAY", ":1.0"}})), one);
    EXPECT_NE(SessionKey(EnvWith({{"DISPLAY", ":2"}})), one);
    EXPECT_NE(SessionKey(EnvWith({{"DISPLAY", "remote:1"}})), one);
    // Wayland names the session even where an X display serves it too.
    EXPECT_EQ(SessionKey(EnvWith({{"DISPLAY", ":1"}, {"WAYLAND_DISPLAY", "wayland-0"}})),
              SessionKey(EnvWith({{"WAYLAND_DISPLAY", "wayland-0"}})));
    EXPECT_EQ(SessionKey(QProcessEnvironment()), QStringLiteral("console"));
    // Whatever the variables hold, the key is a short, plain file name.
    for (const QString& hostile : {QStringLiteral("../../etc/x:0"), QStringLiteral("/run/user/1000/wayland-1"),
                                   QString(500, QLatin1Char('w')), QStringLiteral("步:3")}) {
        const QString key = SessionKey(EnvWith({{"WAYLAND_DISPLAY", hostile}}));
        EXPECT_LE(key.size(), 40);
        EXPECT_FALSE(key.contains('/'));
        EXPECT_TRUE(QRegularExpression("^[A-Za-z0-9._-]+$").match(key).hasMatch()) << key.toStdString();
    }
}

// A guard in a folder everyone can reach, so that another account can try it.
class ForeignPeer : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (::getuid() != 0)
            GTEST_SKIP() << "needs root to act as another account";
        // Under /tmp itself: the test's own temp folder may be closed to other accounts.
        m_dir = std::make_unique<QTemporaryDir>(QStringLiteral("/tmp/travimo-peer-XXXXXX"));
        ASSERT_TRUE(m_dir->isValid());
        ::chmod(QFile::encodeName(m_dir->path()).constData(), 0777);
        m_name = m_dir->filePath("Travimo-x11-_5");
    }
    // Runs fn in a child process as the account "nobody"; its exit status.
    template <class Fn>
    static int AsNobody(Fn fn)
    {
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(90);
            ::_exit(fn());
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static int Connect(const QByteArray& path)
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.constData(), std::min<size_t>(path.size(), sizeof addr.sun_path - 1));
        return ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 ? fd : -1;
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_name;
};

TEST_F(ForeignPeer, AnotherAccountCanNeitherAnswerForTheProgramNorCommandIt)
{
    // Another account listens on the name and would answer "shown" to everyone.
    const QByteArray path = QFile::encodeName(m_name);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t server = ::fork();
    if (server == 0) {
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(90);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::memcpy(addr.sun_path, path.constData(), size_t(path.size()));
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 4) != 0)
            ::_exit(91);
        ::chmod(path.constData(), 0777);
        (void)!::write(ready[1], "r", 1);
        for (;;) {
            const int c = ::accept(fd, nullptr, nullptr);
            char buf[16];
            (void)!::read(c, buf, sizeof buf);
            (void)!::write(c, "shown\n", 6);
            ::close(c);
        }
    }
    ::close(ready[1]);
    char r = 0;
    const bool listening = ::read(ready[0], &r, 1) == 1;
    ::close(ready[0]);
    if (!listening) {
        ::waitpid(server, nullptr, 0);
        FAIL() << "the other account could not listen";
    }
    EXPECT_EQ(AskRunningCopyToShow(m_name, 1000), GuardAnswer::NoAnswer);
    ::kill(server, SIGKILL);
    ::waitpid(server, nullptr, 0);
    QFile::remove(m_name);

    // And the other way: the program's guard ignores another account's request.
    CInstanceGuard guard(m_name);
    ASSERT_EQ(guard.Take(1000, 500), CInstanceGuard::Result::First);
    ::chmod(path.constData(), 0777);
    QWidget window;
    window.setProperty(BuiltinStr(102).toUtf8().constData(), 1);
    const int answered = AsNobody([&] {
        const int fd = Connect(path);
        if (fd < 0)
            return 2;
        (void)!::write(fd, "show\n", 5);
        char buf[16] = {};
        return ::read(fd, buf, sizeof buf) > 0 ? 1 : 0;
    });
    EXPECT_EQ(answered, 0);  // connected, and cut off without an answer
    QTest::qWait(100);
    EXPECT_FALSE(window.isVisible());
}

// Real copies of the program, each with its own temp and runtime folders.
class RealCopies : public ProgramFolderTest {
protected:
    void SetUp() override
    {
        if (!QFileInfo::exists(QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/Travimo")))
            GTEST_SKIP() << "the program is not built";
        ProgramFolderTest::SetUp();
        for (const char* f : {"Travimo", "Travimo.ini", "Language.ini"})
            CopyFromBuild(QString::fromLatin1(f));
        WriteFile(QStringLiteral("portable"), QByteArray());  // the store stays in this folder
        ASSERT_TRUE(m_runtime.isValid() && m_temp.isValid() && m_home.isValid());
    }
    void TearDown() override
    {
        for (auto& p : m_copies)
            Stop(*p);
        ProgramFolderTest::TearDown();
    }
    QProcessEnvironment Env(const QString& display) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        env.insert("TMPDIR", m_temp.path());
        env.insert("HOME", m_home.path());
        env.insert("XDG_RUNTIME_DIR", m_runtime.path());
        env.insert("DISPLAY", display);
        env.remove("WAYLAND_DISPLAY");
        return env;
    }
    QString GuardOf(const QString& display) const { return InstanceGuardName(Env(display)); }
    QProcess& Start(const QString& display)
    {
        m_copies.push_back(std::make_unique<QProcess>());
        QProcess& p = *m_copies.back();
        p.setProcessEnvironment(Env(display));
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(PathOf("Travimo"), {});
        EXPECT_TRUE(p.waitForStarted(10000));
        return p;
    }
    // The copy holds its guard and answers on it.
    bool WaitUntilGuarding(const QString& display)
    {
        const QString name = GuardOf(display);
        return QTest::qWaitFor([&] { return QFileInfo::exists(name) && QFileInfo::exists(name + ".lock"); }, 60000);
    }
    static bool WaitEnded(QProcess& p, int ms)
    {
        return QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, ms);
    }
    // SIGSTOP lands on each thread in its own time: wait until every one of them has stopped.
    static bool StopAndWait(QProcess& p)
    {
        const pid_t pid = pid_t(p.processId());
        if (::kill(pid, SIGSTOP) != 0)
            return false;
        return QTest::qWaitFor([&] {
            const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
            for (const QString& tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                QFile stat(tasks.filePath(tid + "/stat"));
                if (!stat.open(QIODevice::ReadOnly))
                    return false;
                const QByteArray line = stat.readAll();
                const qsizetype close = line.lastIndexOf(')');
                if (close < 0 || close + 2 >= line.size() || (line[close + 2] != 'T' && line[close + 2] != 't'))
                    return false;
            }
            return true;
        }, 5000);
    }
    static void Stop(QProcess& p)
    {
        if (p.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(p.processId()), SIGCONT);
        p.terminate();
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(5000);
        }
    }
    QTemporaryDir m_runtime, m_temp, m_home;
    std::vector<std::unique_ptr<QProcess>> m_copies;
};

TEST_F(RealCopies, AnotherAccountsSocketInTheSharedTempFolderIsIgnored)
{
    // What the shared temp folder may hold: a name answering "shown" to whoever asks.
    QLocalServer squatter;
    ASSERT_TRUE(squatter.listen(m_temp.filePath("Travimo-" + QString::number(::getuid()))));
    QObject::connect(&squatter, &QLocalServer::newConnection, [&] {
        QLocalSocket* s = squatter.nextPendingConnection();
        s->write("shown\n");
        s->flush();
    });
    QProcess& copy = Start(":93");
    EXPECT_TRUE(WaitUntilGuarding(":93"));
    QTest::qWait(500);
    EXPECT_EQ(copy.state(), QProcess::Running) << copy.readAll().toStdString();
    EXPECT_TRUE(QFileInfo::exists(PathOf("User.db")));  // it started for real
}

TEST_F(RealCopies, CopiesStartedTogetherLeaveOneRunning)
{
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        QProcess& a = Start(":94");
        QProcess& b = Start(":94");
        ASSERT_TRUE(QTest::qWaitFor([&] { return a.state() == QProcess::NotRunning || b.state() == QProcess::NotRunning; },
                                    60000));
        QProcess& ended = a.state() == QProcess::NotRunning ? a : b;
        QProcess& running = &ended == &a ? b : a;
        EXPECT_EQ(ended.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(ended.exitCode(), 0) << ended.readAll().toStdString();
        EXPECT_TRUE(WaitUntilGuarding(":94"));
        QTest::qWait(300);
        EXPECT_EQ(running.state(), QProcess::Running);
        Stop(running);
    }
}

TEST_F(RealCopies, AStoppedFirstCopyIsNotTakenForGoneAndTheSecondDoesNotStart)
{
    QProcess& first = Start(":95");
    ASSERT_TRUE(WaitUntilGuarding(":95"));
    ASSERT_TRUE(StopAndWait(first));
    QElapsedTimer clock;
    clock.start();
    CInstanceGuard second(GuardOf(":95"));
    EXPECT_EQ(second.Take(2000, 1000), CInstanceGuard::Result::OtherNotAnswering);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(second.IsHeld());
    // The lock alone keeps a second copy out, whenever it comes: also between lock and listening.
    QFile::remove(GuardOf(":95"));
    CInstanceGuard third(GuardOf(":95"));
    EXPECT_EQ(third.Take(600, 300), CInstanceGuard::Result::OtherNotAnswering);
    EXPECT_FALSE(third.IsHeld());
    ASSERT_EQ(::kill(pid_t(first.processId()), SIGCONT), 0);
    Stop(first);
    // Once it is gone for real, its lock is stale and the next copy is the first.
    CInstanceGuard next(GuardOf(":95"));
    EXPECT_EQ(next.Take(2000, 1000), CInstanceGuard::Result::First);
    EXPECT_TRUE(next.IsHeld());
}

TEST_F(RealCopies, EachDisplayHasItsCopyAndASecondStartShowsTheFirst)
{
    QProcess& one = Start(":91");
    ASSERT_TRUE(WaitUntilGuarding(":91"));
    QProcess& two = Start(":92");
    ASSERT_TRUE(WaitUntilGuarding(":92"));
    QTest::qWait(300);
    EXPECT_EQ(one.state(), QProcess::Running);
    EXPECT_EQ(two.state(), QProcess::Running);
    QProcess& again = Start(":91.0");
    ASSERT_TRUE(WaitEnded(again, 60000));
    EXPECT_EQ(again.exitCode(), 0) << again.readAll().toStdString();
    EXPECT_EQ(one.state(), QProcess::Running);
}

TEST_F(RealCopies, TheGuardedWindowIsShownAndRestored)
{
    QWidget first;
    first.setProperty(BuiltinStr(102).toUtf8().constData(), 1);
    first.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.isMinimized(); }, 2000));
    EXPECT_TRUE(CInstanceGuard::ShowGuardedWindow(BuiltinStr(102)));
    EXPECT_FALSE(first.isMinimized());
    EXPECT_TRUE(first.isVisible());

    // A second copy asks this process (playing the first) through the real program.
    first.hide();
    CInstanceGuard guard(GuardOf(":96"));
    ASSERT_EQ(guard.Take(), CInstanceGuard::Result::First);
    QProcess& second = Start(":96");
    ASSERT_TRUE(WaitEnded(second, 60000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.isVisible(); }, 2000));
    EXPECT_FALSE(QFileInfo::exists(PathOf("User.db")));  // it ended at the guard
}

}  // namespace
