#pragma once
// The seed corpus of the pedometer-file fuzz target (fuzz/corpus/): valid files, so
// that a fuzz run starts from inputs that get past the checksum to the checks behind
// it. make_pedometer_seeds writes them; a test keeps the checked-in copies in step:
//   cmake --build build-test --target make_pedometer_seeds
//   build-test/tests/external/usb/make_pedometer_seeds tests/external/usb/fuzz/corpus

#include "external/usb/Generator.h"
#include "external/usb/PedometerFile.h"

#include <vector>

struct SeedPedometer {
    const char* name;
    PedometerFile file;
};

inline std::vector<SeedPedometer> SeedPedometers()
{
    const PedometerFile blank;  // never initialised: ID 999999, no days
    PedometerFile empty;        // a user's pedometer without days
    empty.profile = PedometerProfile{10002, 0, 163, 57, 29, 380, 6, 45, 30};
    PedometerFile oneDay = empty;
    oneDay.days = GenerateDays(2024, 2, 29, 1, empty.profile.weight, 3);
    PedometerFile severalDays = empty;
    severalDays.days = GenerateDays(2024, 12, 30, 4, empty.profile.weight, 5);
    return {{"blank.ped", blank}, {"empty.ped", empty}, {"one-day.ped", oneDay}, {"several-days.ped", severalDays}};
}
