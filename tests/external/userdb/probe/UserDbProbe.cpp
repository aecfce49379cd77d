// Helper process of the user store tests.
//   userdb_probe init <folder> [nobody]   opens the store (as user nobody when asked),
//                                        prints the result and the text
//   userdb_probe write <folder> <first>   stores versions of days forever and reports
//                                        "<day> <version>" once each is stored
//   userdb_probe batch <folder> <first>   the same, 25 days a call through USER_InsertDataBatch
//   userdb_probe hold <folder>            opens the store, says "ready" and keeps it open
//                                        until its input ends
#include "external/userdb/UserDb.h"
#include "tests/external/userdb/probe/CrashDay.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string Connection(const std::string& folder)
{
    return "Provider=Microsoft.Jet.OLEDB.4.0;\t\t\t\t\t\tData Source=" + folder +
           "/User.mdb;Persist Security Info=False;\t\t\t\t\t\t\t\tJet OLEDB:Database Password=508317";
}

bool WriteAll(const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    const std::string mode = argv[1];
    const std::string folder = argv[2];
    if (mode == "init") {
        if (argc > 3 && std::strcmp(argv[3], "nobody") == 0 && geteuid() == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                return 3;
        }
        std::string error;
        const int rc = USER_Init(Connection(folder), "KX300_User", "KX300_Data", error);
        WriteAll(std::to_string(rc) + "\n" + error);
        USER_Term(0, "508317");
        return 0;
    }
    if (mode == "hold") {
        std::string error;
        if (USER_Init(Connection(folder), "KX300_User", "KX300_Data", error) != 0)
            return 4;
        WriteAll("ready\n");
        char c;
        while (read(STDIN_FILENO, &c, 1) > 0) {
        }
        USER_Term(0, "508317");
        return 0;
    }
    if ((mode == "write" || mode == "batch") && argc > 3) {
        std::string error;
        if (USER_Init(Connection(folder), "KX300_User", "KX300_Data", error) != 0)
            return 4;
        if (USER_NumberIsUnuse(kCrashUser)) {
            UserRecord u{};
            u.number = kCrashUser;
            SetRecordName(u, "crash");
            u.weight = 60;
            if (USER_CreateUser(u) != USER_OK)
                return 5;
        }
        // Bounded so that an orphaned writer ends by itself.
        const int step = mode == "batch" ? 25 : 1;
        for (int i = std::atoi(argv[3]); i < 200000; i += step) {
            std::vector<DeviceStepRecord> days;
            std::vector<const DeviceStepRecord*> batch;
            for (int k = i; k < i + step; ++k)
                days.push_back(MakeCrashDay(k % kCrashDays, k / kCrashDays + 1));
            for (const DeviceStepRecord& d : days)
                batch.push_back(&d);
            std::vector<int> results;
            if (step == 1)
                results = {USER_InsertData(kCrashUser, 60, 70, days[0], error)};
            else
                USER_InsertDataBatch(kCrashUser, 60, 70, batch, results, error);
            // Reported only once the call has returned: the days are stored by then.
            std::string report;
            for (int k = 0; k < step; ++k) {
                if (results[static_cast<size_t>(k)] == USER_OK)
                    report += std::to_string((i + k) % kCrashDays) + " " + std::to_string((i + k) / kCrashDays + 1) + "\n";
            }
            if (!WriteAll(report))
                return 0;
        }
        return 0;
    }
    return 2;
}
