#include "ReadBack.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <freexl.h>

#include <csignal>
#include <sys/resource.h>

QString NumberText(double value)
{
    return QString::number(value, 'g', 15);
}

std::vector<QStringList> Trimmed(std::vector<QStringList> rows)
{
    for (QStringList& row : rows) {
        while (!row.isEmpty() && row.back().isEmpty())
            row.removeLast();
    }
    while (!rows.empty() && rows.back().isEmpty())
        rows.pop_back();
    return rows;
}

namespace {

void Put(ReadSheet& sheet, unsigned r, unsigned c, const QString& text)
{
    if (sheet.rows.size() <= r)
        sheet.rows.resize(r + 1);
    while (sheet.rows[r].size() <= static_cast<qsizetype>(c))
        sheet.rows[r].append(QString());
    sheet.rows[r][c] = text;
}

}  // namespace

ReadBook ReadXlsWithFreexl(const QString& path)
{
    ReadBook book;
    const void* handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle);
    if (opened != FREEXL_OK || !handle) {
        ADD_FAILURE() << "freexl_open failed with " << opened;
        freexl_close(handle);
        return book;
    }
    unsigned sheets = 0;
    EXPECT_EQ(freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheets), FREEXL_OK);
    unsigned codePage = 0;
    EXPECT_EQ(freexl_get_info(handle, FREEXL_BIFF_CODEPAGE, &codePage), FREEXL_OK);
    EXPECT_EQ(codePage, unsigned(FREEXL_BIFF_UTF16LE));
    for (unsigned s = 0; s < sheets; ++s) {
        ReadSheet sheet;
        const char* name = nullptr;
        EXPECT_EQ(freexl_get_worksheet_name(handle, static_cast<unsigned short>(s), &name), FREEXL_OK);
        sheet.name = QString::fromUtf8(name);
        EXPECT_EQ(freexl_select_active_worksheet(handle, static_cast<unsigned short>(s)), FREEXL_OK);
        unsigned rows = 0;
        unsigned short columns = 0;
        EXPECT_EQ(freexl_worksheet_dimensions(handle, &rows, &columns), FREEXL_OK);
        for (unsigned r = 0; r < rows; ++r) {
            for (unsigned c = 0; c < columns; ++c) {
                FreeXL_CellValue v{};
                if (freexl_get_cell_value(handle, r, static_cast<unsigned short>(c), &v) != FREEXL_OK) {
                    ADD_FAILURE() << "cell " << r << "," << c << " unreadable";
                    continue;
                }
                if (v.type == FREEXL_CELL_SST_TEXT || v.type == FREEXL_CELL_TEXT) {
                    Put(sheet, r, c, QString::fromUtf8(v.value.text_value));
                } else if (v.type == FREEXL_CELL_INT || v.type == FREEXL_CELL_DOUBLE) {
                    Put(sheet, r, c, NumberText(v.type == FREEXL_CELL_INT ? v.value.int_value : v.value.double_value));
                    sheet.numbers.insert({int(r), int(c)});
                } else if (v.type != FREEXL_CELL_NULL) {
                    ADD_FAILURE() << "cell " << r << "," << c << " has type " << int(v.type);
                }
            }
        }
        sheet.rows = Trimmed(std::move(sheet.rows));
        book.push_back(std::move(sheet));
    }
    freexl_close(handle);
    return book;
}

ReadBook ReadWithXlrd(const QString& path)
{
    ReadBook book;
    QProcess python;
    python.start(QStringLiteral(SYSTEM_PYTHON), {QStringLiteral(WORKBOOK_READER), path});
    if (!python.waitForFinished(120000) || python.exitCode() != 0) {
        ADD_FAILURE() << "xlrd could not read the file (python3-xlrd installed?): "
                      << python.readAllStandardError().toStdString();
        return book;
    }
    const QJsonObject out = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    EXPECT_EQ(out.value("log").toString(), QString()) << "xlrd warned about the file";
    for (const QJsonValue& s : out.value("sheets").toArray()) {
        ReadSheet sheet;
        sheet.name = s["name"].toString();
        const QJsonArray rows = s["rows"].toArray();
        for (int r = 0; r < rows.size(); ++r) {
            const QJsonArray cells = rows[r].toArray();
            for (int c = 0; c < cells.size(); ++c) {
                if (cells[c].isString()) {
                    Put(sheet, r, c, cells[c].toString());
                } else if (cells[c].isDouble()) {
                    Put(sheet, r, c, NumberText(cells[c].toDouble()));
                    sheet.numbers.insert({r, c});
                } else if (!cells[c].isNull()) {
                    ADD_FAILURE() << "cell " << r << "," << c << " of an unexpected kind";
                }
            }
        }
        sheet.rows = Trimmed(std::move(sheet.rows));
        book.push_back(std::move(sheet));
    }
    return book;
}

std::vector<QStringList> ReadCsv(const QByteArray& bytes)
{
    std::vector<QStringList> rows;
    if (!bytes.startsWith("\xEF\xBB\xBF")) {
        ADD_FAILURE() << "no UTF-8 byte order mark";
        return rows;
    }
    const QString text = QString::fromUtf8(bytes.mid(3));
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (ch == u'"') {
                quoted = false;
                const QChar next = i + 1 < text.size() ? text[i + 1] : QChar(u'\r');
                EXPECT_TRUE(next == u',' || next == u'\r') << "text after a closing quote at " << i;
            } else {
                field += ch;
            }
        } else if (ch == u'"') {
            EXPECT_TRUE(field.isEmpty()) << "quote inside an unquoted field at " << i;
            quoted = true;
        } else if (ch == u',') {
            row << field;
            field.clear();
        } else if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            row << field;
            field.clear();
            rows.push_back(row);
            row.clear();
            ++i;
        } else {
            EXPECT_FALSE(ch == u'\r' || ch == u'\n') << "bare line break outside quotes at " << i;
            field += ch;
        }
    }
    EXPECT_FALSE(quoted) << "unterminated quote";
    EXPECT_TRUE(row.isEmpty() && field.isEmpty()) << "last line not ended by CRLF";
    return rows;
}

FileSizeLimit::FileSizeLimit(unsigned long bytes)
{
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_saved = limit.rlim_cur;
    m_handler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    m_active = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    m_set = true;
}

FileSizeLimit::~FileSizeLimit()
{
    if (!m_set)
        return;
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_saved;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_handler);
}
