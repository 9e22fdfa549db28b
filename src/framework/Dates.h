#pragma once
// Dates as the settings and the HTTP fields store them: a real number of days since
// 30 Dec 1899 (the fraction is the time of day), and the civil dates it stands for.
#include <cstdint>

// 1 Jan 1970 as such a day number.
constexpr double UnixEpochDay = 25569.0;

// Days from 1 Jan 1970 of a civil date of the proleptic Gregorian calendar; Month 1..12.
std::int64_t DaysFromCivil(std::int64_t Year, unsigned Month, unsigned Day);
// The civil date of a day count from 1 Jan 1970.
void CivilFromDays(std::int64_t Days, int& Year, unsigned& Month, unsigned& Day);
