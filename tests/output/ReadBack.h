#pragma once
// Reads exported files back with readers that share no code with the writers.
// Rows are trimmed: trailing empty cells and trailing empty rows dropped.
// A reader that fails, or warns about the file, fails the running test.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <set>
#include <utility>
#include <vector>

struct ReadSheet {
    QString name;
    std::vector<QStringList> rows;          // number cells as NumberText
    std::set<std::pair<int, int>> numbers;  // (row, column) of number cells
};
using ReadBook = std::vector<ReadSheet>;

QString NumberText(double value);
std::vector<QStringList> Trimmed(std::vector<QStringList> rows);

ReadBook ReadXlsWithFreexl(const QString& path);
ReadBook ReadWithXlrd(const QString& path);
// RFC 4180 with a UTF-8 byte order mark and CRLF line ends, checked strictly.
std::vector<QStringList> ReadCsv(const QByteArray& bytes);

// The disk filling up, for as long as it lives: files may grow to `bytes` and a write beyond
// fails (instead of ending the process), as it does on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool Active() const { return m_active; }

private:
    unsigned long m_saved = 0;
    void (*m_handler)(int) = nullptr;  // often SIG_DFL, which is null
    bool m_set = false;
    bool m_active = false;
};
