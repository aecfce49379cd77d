// The export library against libxlsxwriter alone writing the same cells.
//   BM_UserList/0|1    10 000 users' rows as .xls / .xlsx (title, headings, 7 columns)
//   BM_AllDays/0|1     3 years of one user's days as .xls (day rows) / .xlsx
//                      (day rows and the 720 two-minute slots per day)
// The raw baseline gets its cells ready as UTF-8 texts and doubles and writes
// an .xlsx file with libxlsxwriter's default settings.
//   BM_StoredDays      reading every stored day of a user with 3 years of days out of
//                      the store as the step-data export does (one USER_GetData2 per
//                      day from 2000-01-01 to today); raw: the user's rows in one
//                      ordered SQLite query, each record copied out
#include "BenchRatio.h"

#include "external/userdb/UserDb.h"
#include "output/export/DayExport.h"
#include "output/export/StoredDaysExport.h"
#include "output/export/UserListExport.h"

#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>
#include <xlsxwriter.h>

#include <cstring>
#include <memory>

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace {

constexpr int kUsers = 10000;
constexpr int kDays = 3 * 365 + 1;

void Check(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error(what);
}

// A sheet of cells as the raw writer takes them.
using RawCell = std::variant<std::monostate, std::string, double>;
using RawSheet = std::vector<std::vector<RawCell>>;

void WriteRaw(const std::string& path, const std::vector<std::pair<std::string, RawSheet>>& sheets)
{
    lxw_workbook* wb = workbook_new(path.c_str());
    Check(wb != nullptr, "workbook_new");
    for (const auto& [name, rows] : sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, name.c_str());
        for (size_t r = 0; r < rows.size(); ++r) {
            for (size_t c = 0; c < rows[r].size(); ++c) {
                const RawCell& cell = rows[r][c];
                if (const auto* text = std::get_if<std::string>(&cell))
                    worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), text->c_str(), nullptr);
                else if (const auto* number = std::get_if<double>(&cell))
                    worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), *number, nullptr);
            }
        }
    }
    Check(workbook_close(wb) == LXW_NO_ERROR, "workbook_close");
}

std::vector<RawCell> RawTexts(const QStringList& texts)
{
    std::vector<RawCell> row;
    for (const QString& t : texts)
        row.emplace_back(t.toStdString());
    return row;
}

// Times export(path) against the raw writer in a temporary folder, the
// export writing a file with the given extension.
template <typename Export>
void Compare(benchmark::State& state, const char* extension, Export&& exportTo,
             const std::vector<std::pair<std::string, RawSheet>>& raw)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("out") + QLatin1String(extension));
    const std::string rawFile = QDir(folder.path()).filePath("raw.xlsx").toStdString();
    BenchRatio ratio;
    for (auto _ : state) {
        const double seconds = ratio.Both(
            [&] {
                const ExportResult r = exportTo(file);
                Check(r.ok, r.error.toStdString());
            },
            [&] { WriteRaw(rawFile, raw); });
        state.SetIterationTime(seconds);
    }
    ratio.Report(state);
}

QStringList Headings()
{
    return {"号码", "用户名", "性别", "年龄", "体重", "步距", "权限"};
}

std::vector<QStringList> UserRows()
{
    std::vector<QStringList> rows;
    for (int i = 0; i < kUsers; ++i) {
        rows.push_back({QString::number(10001 + i), QStringLiteral("用户%1").arg(i), i % 2 ? "男" : "女",
                        QString::number(20 + i % 60), QString::number(50 + i % 40), QString::number(60 + i % 20),
                        i % 9 ? "普通用户" : "管理员"});
    }
    return rows;
}

void BM_UserList(benchmark::State& state)
{
    const bool xlsx = state.range(0) == 1;
    const std::vector<QStringList> rows = UserRows();
    RawSheet raw{RawTexts({"用户列表"}), {}, RawTexts(Headings())};
    for (const QStringList& r : rows)
        raw.push_back(RawTexts(r));

    Compare(state, xlsx ? ".xlsx" : ".xls",
            [&](const QString& file) { return ExportUserList(file, "用户列表", Headings(), rows); },
            {{"Sheet1", raw}, {"Sheet2", {}}});
}
BENCHMARK(BM_UserList)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

std::vector<DayExportRow> Days()
{
    std::vector<DayExportRow> days;
    for (int i = 0; i < kDays; ++i) {
        DayExportRow d;
        d.date = QDate(2021, 1, 1).addDays(i);
        d.slotKcal.resize(720);
        for (int s = 0; s < 720; ++s) {
            const bool walking = (s >= 210 + i % 17 && s < 240 + i % 23) || (s >= 540 && s < 560 + i % 9);
            const bool awake = s >= 200 && s < 680;
            d.slotKcal[size_t(s)] = walking ? 7.0 + (s % 5) * 0.4 : awake ? 1.2 + (s % 3) * 0.1 : 0.0;
            d.kcal += d.slotKcal[size_t(s)];
            d.steps += walking ? 190 : awake ? s % 15 : 0;
        }
        d.distanceKm = d.steps * 0.00068;
        d.effectiveCount = 1 + i % 3;
        d.effectiveMinutes = 40 + i % 30;
        d.effectiveKcal = d.kcal * 0.4;
        days.push_back(std::move(d));
    }
    return days;
}

void BM_AllDays(benchmark::State& state)
{
    const bool xlsx = state.range(0) == 1;
    const std::vector<DayExportRow> days = Days();
    const DayExportTexts texts{{"日期", "步数", "距离[公里]", "总运动量[千卡]", "有效运动[次]", "有效运动时间[分钟]",
                                "有效运动量[千卡]"},
                               "每日",
                               "每两分钟"};
    // The same cells: numbers rounded as the export shows them.
    RawSheet rawDays{RawTexts(texts.headings)};
    RawSheet rawSlots{RawTexts(QStringList{texts.headings[0]} + SlotHeadings())};
    for (const DayExportRow& d : days) {
        const QStringList t = DayRowTexts(d);
        std::vector<RawCell> row{t[0].toStdString()};
        for (int c = 1; c < t.size(); ++c)
            row.emplace_back(t[c].toDouble());
        rawDays.push_back(std::move(row));
        std::vector<RawCell> slotRow{t[0].toStdString()};
        for (double v : d.slotKcal)
            slotRow.emplace_back(QString::number(v, 'f', 3).toDouble());
        rawSlots.push_back(std::move(slotRow));
    }
    std::vector<std::pair<std::string, RawSheet>> raw{{"每日", rawDays}};
    if (xlsx)
        raw.emplace_back("每两分钟", rawSlots);

    Compare(state, xlsx ? ".xlsx" : ".xls", [&](const QString& file) { return ExportAllDays(file, texts, days); }, raw);
}
BENCHMARK(BM_AllDays)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_StoredDays(benchmark::State& state)
{
    QTemporaryDir folder;
    std::string error;
    const std::string dataSource = QDir(folder.path()).filePath("User.mdb").toStdString();
    Check(USER_Init("Data Source=" + dataSource, "KX300_User", "KX300_Data", error) == 0, error);
    UserRecord user{};
    user.number = 20001;
    SetRecordName(user, "bench");
    user.weight = 62;
    user.stride = 68;
    Check(USER_CreateUser(user) == USER_OK, "USER_CreateUser");
    // The last three years up to today, as a pedometer would have brought them.
    std::vector<DeviceStepRecord> records(kDays);
    const std::vector<DayExportRow> shapes = Days();
    const QDate last = LastStorableDay();
    std::vector<const DeviceStepRecord*> batch;
    for (int i = 0; i < kDays; ++i) {
        DeviceStepRecord& r = records[size_t(i)];
        std::memset(&r, 0, sizeof r);
        const QDate d = last.addDays(i - kDays + 1);
        r.date.dt = OleDateFromYmd(d.year(), d.month(), d.day());
        r.steps = shapes[size_t(i)].steps;
        r.calories = shapes[size_t(i)].kcal;
        std::copy(shapes[size_t(i)].slotKcal.begin(), shapes[size_t(i)].slotKcal.end(), r.slotKcal);
        batch.push_back(&r);
    }
    std::vector<int> results;
    Check(USER_InsertDataBatch(user.number, user.weight, user.stride, batch, results, error) == kDays, error);

    sqlite3* db = nullptr;
    const std::string storePath = QDir(folder.path()).filePath("User.db").toStdString();
    Check(sqlite3_open_v2(storePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK, "sqlite3_open_v2");
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> closer(db, &sqlite3_close);
    sqlite3_stmt* stmt = nullptr;
    Check(sqlite3_prepare_v2(db, "SELECT day, record FROM KX300_Data WHERE number = ?1 ORDER BY day", -1, &stmt,
                             nullptr) == SQLITE_OK,
          "prepare");
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> finalizer(stmt, &sqlite3_finalize);

    BenchRatio ratio;
    for (auto _ : state) {
        const double seconds = ratio.Both(
            [&] {
                std::vector<DayExportRow> days;
                QString why;
                Check(ReadStoredDays(user, FirstStorableDay(), LastStorableDay(), days, why), why.toStdString());
                Check(days.size() == size_t(kDays), "every day read");
            },
            [&] {
                std::vector<DeviceStepRecord> out;
                out.reserve(kDays);
                sqlite3_bind_int(stmt, 1, user.number);
                while (sqlite3_step(stmt) == SQLITE_ROW) {
                    out.emplace_back();
                    std::memcpy(&out.back(), sqlite3_column_blob(stmt, 1), sizeof(DeviceStepRecord));
                }
                sqlite3_reset(stmt);
                Check(out.size() == size_t(kDays), "every raw day read");
            });
        state.SetIterationTime(seconds);
    }
    ratio.Report(state);
    finalizer.reset();
    closer.reset();
    USER_Term(0, "508317");
}
BENCHMARK(BM_StoredDays)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
