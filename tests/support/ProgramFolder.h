#pragma once
// Gives each test its own program folder: g_strAppPath points into a fresh
// temporary folder, the process-wide values are reset, and the built program
// folder's files can be copied in on demand.

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>

struct UserRecord;

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program folder, ending in '/'.
    QString Dir() const { return m_path; }
    QString PathOf(const QString& relative) const { return m_path + relative; }
    // Copies a file or folder of the built program folder (build/Travimo/...) into this one.
    void CopyFromBuild(const QString& relative);
    // Copies the default skin, Language.ini and the language packs.
    void CopyStandardFiles();
    // Writes a text file (UTF-8) relative to the program folder, creating folders.
    void WriteFile(const QString& relative, const QByteArray& content);
    QByteArray ReadFile(const QString& relative) const;

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Copies a file or a folder tree; true on success.
bool CopyTree(const QString& from, const QString& to);
