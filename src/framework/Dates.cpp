#include "framework/Dates.h"

// Eras of 400 years, each 146097 days, counted from 1 Mar 0000 so that the leap day ends the
// year.
std::int64_t DaysFromCivil(std::int64_t Year, unsigned Month, unsigned Day) {
  Year -= Month <= 2;
  const std::int64_t era = (Year >= 0 ? Year : Year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(Year - era * 400);
  const unsigned doy = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t Days, int& Year, unsigned& Month, unsigned& Day) {
  Days += 719468;
  const std::int64_t era = (Days >= 0 ? Days : Days - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(Days - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  Day = doy - (153 * mp + 2) / 5 + 1;
  Month = mp < 10 ? mp + 3 : mp - 9;
  Year = static_cast<int>(yoe + era * 400 + (Month <= 2));
}
