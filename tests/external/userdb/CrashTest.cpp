#include "tests/external/userdb/UserDbFixture.h"
#include "tests/external/userdb/probe/CrashDay.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <sstream>

namespace {

// Starts the writer, lets it report `reports` stored days, kills it with SIGKILL
// and returns every (day, version) it reported.
std::vector<std::pair<int, int>> RunAndKill(const char* mode, const std::string& folder, int first, int reports)
{
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const std::string start = std::to_string(first);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(USERDB_PROBE, USERDB_PROBE, mode, folder.c_str(), start.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::vector<std::pair<int, int>> reported;
    std::string pending;
    char buffer[4096];
    while (static_cast<int>(reported.size()) < reports) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        pending.append(buffer, static_cast<size_t>(n));
        size_t eol;
        while ((eol = pending.find('\n')) != std::string::npos) {
            std::istringstream line(pending.substr(0, eol));
            pending.erase(0, eol + 1);
            int day = 0, version = 0;
            if (line >> day >> version)
                reported.emplace_back(day, version);
        }
    }
    // Killed while it is busy with the next inserts.
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    close(fds[0]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "writer ended by itself, status " << status;
    return reported;
}

class KilledWriter : public UserDbTest {
protected:
    // Kills a writer (probe mode "write" or "batch") three times at different points; no day
    // it reported stored may be missing or older afterwards, and the store stays sound.
    void ExpectNoReportedDayLost(const char* mode)
    {
        USER_Term(0, "508317");
        std::map<int, int> lastReported;
        int first = 0;
        for (int reports : {37, 450, 1203}) {
            const auto reported = RunAndKill(mode, m_folder.substr(0, m_folder.size() - 1), first, reports);
            ASSERT_GE(static_cast<int>(reported.size()), reports);
            for (const auto& [day, version] : reported)
                lastReported[day] = std::max(lastReported[day], version);
            first = (reported.back().second - 1) * kCrashDays + reported.back().first + 1;

            EXPECT_EQ(RawQuery("PRAGMA integrity_check"), "ok");
            std::string error;
            ASSERT_EQ(Reopen(&error), 0) << error;
            for (const auto& [day, version] : lastReported) {
                StepRecord out;
                ASSERT_EQ(USER_GetData2(kCrashUser, OleDateFromYmd(2001, 1, 1) + day, out, error), USER_OK) << day;
                // The writer may have stored a later version just before it died; never an earlier one.
                const int stored = (out.day.steps - day) / 1000;
                EXPECT_GE(stored, version) << "day " << day;
                const DeviceStepRecord expected = MakeCrashDay(day, stored);
                EXPECT_EQ(std::memcmp(&out.day, &expected, sizeof expected), 0) << "day " << day;
            }
            USER_Term(0, "508317");
            EXPECT_EQ(RawQuery("PRAGMA integrity_check"), "ok");
            EXPECT_EQ(RawQuery("PRAGMA foreign_key_check"), "<none>");
        }
        ASSERT_EQ(Reopen(), 0);
    }
};

TEST_F(KilledWriter, OneDayACallLosesNoReportedDay)
{
    ExpectNoReportedDayLost("write");
}

TEST_F(KilledWriter, BatchesLoseNoReportedDay)
{
    ExpectNoReportedDayLost("batch");
}

}  // namespace
