#pragma once
// A plausible account for tests: a 30-year-old man of 60 kg and 170 cm with a 70 cm stride.

#include "external/records/Records.h"

#include <string>

inline UserRecord SampleUser(int number, const std::string& name, int rights = 0)
{
    UserRecord r{};
    r.number = number;
    SetRecordName(r, name);
    r.sex = 1;
    r.age = 30;
    r.weight = 60;
    r.height = 170;
    r.stride = 70;
    r.rights = rights;
    return r;
}
