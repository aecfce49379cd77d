#include "tests/support/ProgramFolder.h"

#include "core/Globals.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

bool CopyTree(const QString& from, const QString& to)
{
    QFileInfo info(from);
    if (info.isFile()) {
        QDir().mkpath(QFileInfo(to).absolutePath());
        QFile::remove(to);
        return QFile::copy(from, to);
    }
    if (!info.isDir())
        return false;
    QDir().mkpath(to);
    bool ok = true;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + QLatin1Char('/') + QDir(from).relativeFilePath(src);
        if (it.fileInfo().isDir())
            QDir().mkpath(dst);
        else
            ok = CopyTree(src, dst) && ok;
    }
    return ok;
}

void ProgramFolderTest::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_path = QDir(m_dir.path()).absolutePath() + QLatin1Char('/');
    g_strAppPath = m_path;
    g_strAppName = QStringLiteral("Travimo");
    g_strSkinName = QStringLiteral("标准");
    g_nLanguage = 0;
    g_hLangRes = nullptr;
    g_bUserManagement = false;
    g_pDeviceUser = nullptr;
    ReleaseLoginUser();
    QDir().mkpath(m_path + QStringLiteral("USB"));
    // A marked program folder keeps its data: each test's store and user folders stay in it.
    WriteFile(QStringLiteral("portable"), QByteArray());
}

void ProgramFolderTest::TearDown()
{
    g_hLangRes = nullptr;
    g_pDeviceUser = nullptr;
    ReleaseLoginUser();
}

void ProgramFolderTest::CopyFromBuild(const QString& relative)
{
    const QString src = QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/") + relative;
    ASSERT_TRUE(CopyTree(src, m_path + relative)) << "could not copy " << src.toStdString();
}

void ProgramFolderTest::CopyStandardFiles()
{
    CopyFromBuild(QStringLiteral("Language.ini"));
    CopyFromBuild(QStringLiteral("Language"));
    if (QFileInfo::exists(QStringLiteral(TRAVIMO_BUILD_PROGRAM_DIR "/Skin")))
        CopyFromBuild(QStringLiteral("Skin"));
}

void ProgramFolderTest::WriteFile(const QString& relative, const QByteArray& content)
{
    const QString path = m_path + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
}

QByteArray ProgramFolderTest::ReadFile(const QString& relative) const
{
    QFile f(m_path + relative);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
