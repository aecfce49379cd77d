#pragma once
// Each test writes into its own temporary folder.

#include "ReadBack.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class ExportTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QByteArray Bytes(const QString& name) const
    {
        QFile f(Path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Names in the folder, to see that nothing was left behind.
    QStringList Entries() const { return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }

    QTemporaryDir m_dir;
};

// The user list as the list page shows it: seven columns, a Chinese title and headings.
inline QString ListTitle() { return QStringLiteral("用户列表"); }
inline QStringList ListHeadings()
{
    return {"号码", "用户名", "性别", "年龄", "体重", "步距", "权限"};
}
inline QStringList ListRow(int i)
{
    return {QString::number(10001 + i), QStringLiteral("用户%1").arg(i), i % 2 ? "男" : "女", QString::number(20 + i % 60),
            QString::number(50 + i % 40), QString::number(60 + i % 20), i % 7 ? "普通用户" : "管理员"};
}
// What Sheet1 must hold for a list: title in A1, headings in row 3, rows from row 4.
inline std::vector<QStringList> ExpectedList(const std::vector<QStringList>& rows)
{
    std::vector<QStringList> sheet{{ListTitle()}, {}, ListHeadings()};
    for (const QStringList& r : rows)
        sheet.push_back(r.mid(0, 8));
    return Trimmed(sheet);
}
