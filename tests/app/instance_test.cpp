// The single-instance guard against the real program: a second copy started
// while the first runs hidden brings the first to the front and ends.

#include "app/StepApp.h"
#include "core/StringTable.h"
#include "tests/support/ProgramFolder.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <QWidget>

namespace {

class InstanceGuardTest : public ProgramFolderTest {};

TEST_F(InstanceGuardTest, SecondCopyShowsTheHiddenFirstAndEnds)
{
    if (!QFileInfo::exists(QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/Travimo")))
        GTEST_SKIP() << "the program is not built";
    for (const char* f : {"Travimo", "Travimo.ini", "Language.ini"})
        CopyFromBuild(QString::fromLatin1(f));

    // This process plays the first copy: it listens under the guard's name and has a
    // hidden window carrying the product-name property, as the main window does.
    CInstanceGuard guard(InstanceGuardName());
    ASSERT_TRUE(guard.Listen());
    QWidget first;
    first.setProperty(BuiltinStr(102).toUtf8().constData(), 1);
    first.resize(200, 100);
    ASSERT_FALSE(first.isVisible());

    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    second.setProcessEnvironment(env);
    second.setProcessChannelMode(QProcess::MergedChannels);
    second.start(PathOf(QStringLiteral("Travimo")), QStringList());
    ASSERT_TRUE(second.waitForStarted(10000));
    // The first copy answers from this event loop, so wait while processing events.
    const bool ended = QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 60000);
    if (!ended) {
        second.kill();
        second.waitForFinished(5000);
    }
    ASSERT_TRUE(ended) << second.readAll().toStdString();
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAll().toStdString();
    EXPECT_TRUE(first.isVisible());
    EXPECT_FALSE(first.isMinimized());
    // The second copy ended at the guard: it made no store of its own.
    EXPECT_FALSE(QFileInfo::exists(PathOf(QStringLiteral("User.db"))));
}

TEST_F(InstanceGuardTest, MinimisedFirstCopyIsRestored)
{
    QWidget first;
    first.setProperty(BuiltinStr(102).toUtf8().constData(), 1);
    first.showMinimized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.isMinimized(); }, 2000));
    EXPECT_TRUE(CInstanceGuard::ShowGuardedWindow(BuiltinStr(102)));
    EXPECT_FALSE(first.isMinimized());
    EXPECT_TRUE(first.isVisible());
}

}  // namespace
