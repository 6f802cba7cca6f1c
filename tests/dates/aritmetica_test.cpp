// Date arithmetic, checked against std::chrono's civil calendar where the Gregorian
// rule applies and against hand-counted Julian dates before October 1582.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>

#include "dates/dates.h"
#include "session/utilitats.h"

namespace ch = std::chrono;

namespace {

std::string P(int a, int m, int d) { return DatEmpaquetar(a, m, d); }

std::string DeCivil(ch::year_month_day ymd) {
  return P(int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day())));
}

std::string Llegible(const std::string& packed) { return DesempaquetarDigits(packed); }

}  // namespace

TEST(Empaquetar, FourBytesInChronologicalByteOrder) {
  EXPECT_EQ(P(2024, 3, 5), EmpaquetarDigits("20240305"));
  EXPECT_EQ(P(2024, 3, 5), std::string("\x94\x98\x83\x85"));
  EXPECT_LT(P(1999, 12, 31), P(2000, 1, 1));
  EXPECT_LT(P(1582, 10, 4), P(1582, 10, 5));
  EXPECT_EQ(P(0, 0, 0), std::string(4, '\x80'));
}

TEST(DatSuma, ZeroAmountReturnsInputUnchanged) {
  for (std::string s : {std::string("\x94\x98\x82\xBF"), std::string("ab"), std::string(""),
                        std::string("\x00\xFF\x7F\x80\x10", 5)})
    EXPECT_EQ(DatSuma("D", 0, s), s);
}

TEST(DatSuma, DaysAcrossMonthAndYearEnds) {
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(2024, 1, 31))), "20240201");
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(2024, 2, 28))), "20240229");
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(2023, 2, 28))), "20230301");
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(1900, 2, 28))), "19000301");
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(2000, 2, 28))), "20000229");
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(2023, 12, 31))), "20240101");
  EXPECT_EQ(Llegible(DatSuma("d", -1, P(2024, 1, 1))), "20231231");
  EXPECT_EQ(Llegible(DatSuma("D", -1, P(2024, 3, 1))), "20240229");
  EXPECT_EQ(Llegible(DatSuma("D", -366, P(2024, 12, 31))), "20231231");
  EXPECT_EQ(Llegible(DatSuma("D", 60, P(2023, 12, 31))), "20240229");
}

TEST(DatSuma, DaysMatchCivilCalendarFromGregorianStart) {
  const int quantitats[] = {1, -1, 27, -27, 31, -31, 365, -365, 1000, -1000, 146097, -146097};
  for (ch::sys_days d = ch::sys_days{ch::year{1583} / 1 / 1}; d < ch::sys_days{ch::year{9000} / 1 / 1};
       d += ch::days{997}) {
    const std::string p = DeCivil(ch::year_month_day{d});
    for (int q : quantitats)
      ASSERT_EQ(Llegible(DatSuma("D", q, p)), Llegible(DeCivil(ch::year_month_day{d + ch::days{q}})))
          << Llegible(p) << " + " << q;
  }
}

TEST(DatSuma, JulianRuleBeforeOctober1582AndNoSkippedDays) {
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(1582, 10, 4))), "15821005");
  EXPECT_EQ(Llegible(DatSuma("D", 10, P(1582, 10, 4))), "15821014");
  EXPECT_EQ(Llegible(DatSuma("D", -1, P(1582, 10, 15))), "15821014");
  // 1500 is a leap year under the Julian rule.
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(1500, 2, 28))), "15000229");
  EXPECT_EQ(Llegible(DatSuma("D", 1, P(1500, 2, 29))), "15000301");
  // The rule is fixed by the starting date: a walk from 4 October 1582 counts 1700
  // as a leap year, one from 5 October does not.
  const int n = (ch::sys_days{ch::year{1700} / 3 / 1} - ch::sys_days{ch::year{1582} / 10 / 5}).count();
  EXPECT_EQ(Llegible(DatSuma("D", n, P(1582, 10, 5))), "17000301");
  EXPECT_EQ(Llegible(DatSuma("D", n + 1, P(1582, 10, 4))), "17000229");
}

TEST(DatSuma, MonthsAndYearsClampToMonthEnd) {
  EXPECT_EQ(Llegible(DatSuma("M", 1, P(2024, 1, 31))), "20240229");
  EXPECT_EQ(Llegible(DatSuma("M", 1, P(2023, 1, 31))), "20230228");
  EXPECT_EQ(Llegible(DatSuma("m", -1, P(2024, 3, 31))), "20240229");
  EXPECT_EQ(Llegible(DatSuma("M", -13, P(2024, 1, 15))), "20221215");
  EXPECT_EQ(Llegible(DatSuma("M", 13, P(2024, 1, 15))), "20250215");
  EXPECT_EQ(Llegible(DatSuma("M", -1, P(2024, 1, 15))), "20231215");
  EXPECT_EQ(Llegible(DatSuma("M", 1, P(2024, 12, 15))), "20250115");
  EXPECT_EQ(Llegible(DatSuma("M", -24, P(2024, 5, 31))), "20220531");
  EXPECT_EQ(Llegible(DatSuma("M", 3, P(2024, 5, 31))), "20240831");
  EXPECT_EQ(Llegible(DatSuma("M", 4, P(2024, 5, 31))), "20240930");
  EXPECT_EQ(Llegible(DatSuma("A", 1, P(2024, 2, 29))), "20250228");
  EXPECT_EQ(Llegible(DatSuma("a", -1, P(2024, 2, 29))), "20230228");
  EXPECT_EQ(Llegible(DatSuma("A", 4, P(2024, 2, 29))), "20280229");
  EXPECT_EQ(Llegible(DatSuma("A", 100, P(1500, 2, 29))), "16000229");
  EXPECT_EQ(Llegible(DatSuma("A", 200, P(1500, 2, 29))), "17000229");  // Julian for the whole call
  EXPECT_EQ(Llegible(DatSuma("A", -100, P(1700, 3, 1))), "16000301");
}

TEST(DatSuma, OtherUnitsLeaveDateAsItWas) {
  EXPECT_EQ(DatSuma("X", 5, P(2024, 3, 5)), P(2024, 3, 5));
  EXPECT_EQ(DatSuma("", -5, P(2024, 3, 5)), P(2024, 3, 5));
}

TEST(DatSuma, SaturatesAtBothEndsWithoutLooping) {
  const std::string fi = P(9999, 12, 31);
  EXPECT_EQ(DatSuma("D", 1, fi), fi);
  EXPECT_EQ(DatSuma("M", 1, fi), fi);
  EXPECT_EQ(DatSuma("A", 1, P(9999, 1, 1)), fi);
  EXPECT_EQ(DatSuma("D", INT_MAX, P(2024, 1, 1)), fi);
  EXPECT_EQ(DatSuma("M", INT_MAX, P(2024, 1, 1)), fi);
  EXPECT_EQ(DatSuma("A", INT_MAX, P(2024, 1, 1)), fi);
  EXPECT_EQ(DatSuma("D", INT_MAX, P(0, 0, 99)), fi);
  const std::string inici = P(0, 1, 1);
  EXPECT_EQ(DatSuma("D", INT_MIN, fi), inici);
  EXPECT_EQ(DatSuma("M", INT_MIN, fi), inici);
  EXPECT_EQ(DatSuma("A", INT_MIN, fi), inici);
  EXPECT_EQ(DatSuma("D", -1, inici), inici);
}

TEST(DatDiferencia, DaysMatchCivilCalendarAndAreSymmetric) {
  const ch::sys_days base{ch::year{2024} / 2 / 29};
  for (int salt : {0, 1, 59, 365, 366, 1461, 36524, 146097, 2000000}) {
    const ch::sys_days altre = base + ch::days{salt} <= ch::sys_days{ch::year{9999} / 12 / 31}
                                   ? base + ch::days{salt}
                                   : base - ch::days{salt};
    const std::string a = DeCivil(ch::year_month_day{base}), b = DeCivil(ch::year_month_day{altre});
    EXPECT_EQ(DatDiferencia("D", a, b), salt) << salt;
    EXPECT_EQ(DatDiferencia("d", b, a), salt) << salt;
  }
  EXPECT_EQ(DatDiferencia("D", P(1583, 1, 1), P(9999, 12, 31)),
            (ch::sys_days{ch::year{9999} / 12 / 31} - ch::sys_days{ch::year{1583} / 1 / 1}).count());
}

TEST(DatDiferencia, JulianYearsAndTheOctober1582Gap) {
  EXPECT_EQ(DatDiferencia("D", P(1582, 10, 4), P(1582, 10, 15)), 11);
  EXPECT_EQ(DatDiferencia("D", P(1500, 2, 28), P(1500, 3, 1)), 2);
  EXPECT_EQ(DatDiferencia("D", P(1700, 2, 28), P(1700, 3, 1)), 1);
  // 1500 has 366 days; 99 whole years between, leap: 1504..1580 (20) and 1584..1596 (4).
  EXPECT_EQ(DatDiferencia("D", P(1500, 1, 1), P(1600, 1, 1)), 366 + 99 * 365 + 24);
}

TEST(DatDiferencia, MonthsAndCompletedYears) {
  EXPECT_EQ(DatDiferencia("M", P(2024, 1, 31), P(2024, 2, 1)), 1);
  EXPECT_EQ(DatDiferencia("m", P(2025, 3, 1), P(2023, 11, 30)), 16);
  EXPECT_EQ(DatDiferencia("A", P(2000, 2, 29), P(2024, 2, 28)), 23);
  EXPECT_EQ(DatDiferencia("A", P(2000, 2, 29), P(2024, 2, 29)), 24);
  EXPECT_EQ(DatDiferencia("a", P(2024, 2, 29), P(2000, 2, 29)), 24);
  EXPECT_EQ(DatDiferencia("A", P(2023, 12, 31), P(2024, 1, 1)), 0);
}

TEST(DatDiferencia, EqualDatesAndOtherUnitsGiveZero) {
  for (const char* u : {"D", "M", "A", "d", "m", "a"}) EXPECT_EQ(DatDiferencia(u, P(2024, 3, 5), P(2024, 3, 5)), 0);
  EXPECT_EQ(DatDiferencia("X", P(2000, 1, 1), P(2024, 3, 5)), 0);
  EXPECT_EQ(DatDiferencia("", P(2000, 1, 1), P(2024, 3, 5)), 0);
}

TEST(DatDiaSetmana, KnownDates) {
  EXPECT_EQ(DatDiaSetmana(P(2024, 1, 1)), 1);
  EXPECT_EQ(DatDiaSetmana(P(1969, 7, 20)), 7);
  EXPECT_EQ(DatDiaSetmana(P(2000, 2, 29)), 2);
  EXPECT_EQ(DatDiaSetmana(P(9999, 12, 31)), 5);
  EXPECT_EQ(DatDiaSetmana(P(1582, 10, 4)), 4);
  EXPECT_EQ(DatDiaSetmana(P(1582, 10, 5)), 2);
  EXPECT_EQ(DatDiaSetmana(P(1582, 10, 15)), 5);
  EXPECT_EQ(DatDiaSetmana(P(1492, 10, 12)), 5);  // Julian
  EXPECT_EQ(DatDiaSetmana(P(1, 1, 1)), 6);       // Julian 1 January of year 1
}

// Walks day by day with DatSuma and compares every date and weekday with chrono.
TEST(DatDiaSetmana, DayByDayAgainstCivilCalendar) {
  std::string p = P(1583, 1, 1);
  for (ch::sys_days d{ch::year{1583} / 1 / 1}; d <= ch::sys_days{ch::year{2100} / 12 / 31}; d += ch::days{1}) {
    ASSERT_EQ(p, DeCivil(ch::year_month_day{d}));
    ASSERT_EQ(DatDiaSetmana(p), int(ch::weekday{d}.iso_encoding())) << Llegible(p);
    p = DatSuma("D", 1, p);
  }
}

TEST(DatDiaSetmana, JulianDaysFollowEachOther) {
  std::string p = P(1000, 1, 1);
  int previ = DatDiaSetmana(p);
  while (p < P(1582, 10, 5)) {
    p = DatSuma("D", 1, p);
    const int dia = DatDiaSetmana(p);
    if (p < P(1582, 10, 5)) {
      ASSERT_EQ(dia, previ % 7 + 1) << Llegible(p);
    }
    previ = dia;
  }
}

// Damaged dates: whatever the bytes, results stay in range and calls return.
TEST(Dates, ArbitraryBytesAreSafe) {
  const std::string mostres[] = {
      std::string("\x00\x00\x00\x00", 4), "\xFF\xFF\xFF\xFF", "\x7F\x7F\x7F\x7F", "\x94\x98\x80\x80",
      "\x94\x98\x80\xE3",                 "\x94\x98\xE3\xE3", "\xE3\xE3\xE3\xE3", "\x94",
      "",                                 "\x94\x98\x83\x85\x99\x99", "\xE4\xE4\xE4\xE4"};
  for (const std::string& m : mostres) {
    for (int q : {1, -1, 40, -40, INT_MAX, INT_MIN})
      for (const char* u : {"D", "M", "A", "X"}) {
        const std::string r = DatSuma(u, q, m);
        ASSERT_EQ(r.size(), 4u);
        for (unsigned char b : r) {
          ASSERT_GE(b, 128);
          ASSERT_LE(b, 227);
        }
      }
    const int dia = DatDiaSetmana(m);
    EXPECT_GE(dia, 1);
    EXPECT_LE(dia, 7);
    for (const char* u : {"D", "M", "A"}) {
      EXPECT_GE(DatDiferencia(u, m, P(2024, 3, 5)), 0);
      EXPECT_EQ(DatDiferencia(u, m, P(2024, 3, 5)), DatDiferencia(u, P(2024, 3, 5), m));
    }
  }
}
