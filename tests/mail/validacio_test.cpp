#include "mail/validacio.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Runs the check on a copy; returns whether it was accepted and what was stored.
struct Resultat {
  bool acceptat;
  std::string adreca;
};

Resultat Validar(const std::string& entrada) {
  std::string a = entrada;
  const int16_t r = ValidarCorreu(a);
  return {r == 0, a};
}

void EsperarRefusat(const std::string& entrada) {
  std::string a = entrada;
  EXPECT_NE(ValidarCorreu(a), 0) << "'" << entrada << "'";
  EXPECT_EQ(a, entrada) << "a refused address must not change";
}

TEST(ValidarCorreu, BlankIsAcceptedUnchanged) {
  for (const std::string& e : {std::string(), std::string(" "), std::string(40, ' ')}) {
    auto r = Validar(e);
    EXPECT_TRUE(r.acceptat);
    EXPECT_EQ(r.adreca, e);
  }
}

TEST(ValidarCorreu, DomainIsLoweredNameKeepsCaseLeadingSpacesGo) {
  auto r = Validar("  Joan.Puig@Empresa.CAT      ");
  ASSERT_TRUE(r.acceptat);
  EXPECT_EQ(r.adreca, "Joan.Puig@empresa.cat      ");

  r = Validar("ANNA@MAIL.EXAMPLE.COM");
  ASSERT_TRUE(r.acceptat);
  EXPECT_EQ(r.adreca, "ANNA@mail.example.com");
}

TEST(ValidarCorreu, LastAtSeparatesNameAndDomain) {
  auto r = Validar("a@b@Host.ORG");
  ASSERT_TRUE(r.acceptat);
  EXPECT_EQ(r.adreca, "a@b@host.org");
  // With the domain before the last "@" the part after it has no dot.
  EsperarRefusat("a@host.org@b");
}

TEST(ValidarCorreu, NameMustNotBeBlank) {
  EsperarRefusat("@host.org");
  EsperarRefusat("   @host.org");
  EXPECT_TRUE(Validar(" x@host.org").acceptat);
}

TEST(ValidarCorreu, NoAtIsRefused) {
  EsperarRefusat("joan.host.org");
  EsperarRefusat("  joan  ");
}

TEST(ValidarCorreu, DotsInTheDomain) {
  EsperarRefusat("joan@hostorg");          // no dot
  EsperarRefusat("joan@host.org.");        // ends in a dot
  EsperarRefusat("joan@host.org.   ");     // ends in a dot before the padding
  EsperarRefusat("joan@host..org");        // two dots in a row
  EsperarRefusat("joan@.host.org");        // empty first label
  EsperarRefusat("joan@");                 // nothing after the "@"
  EsperarRefusat("joan@   ");
  EXPECT_TRUE(Validar("joan@a.b.c.host.org").acceptat);
}

TEST(ValidarCorreu, LastLabelHasNoDigitOrHyphen) {
  EsperarRefusat("joan@192.168.1.1");
  EsperarRefusat("joan@host.c0m");
  EsperarRefusat("joan@host.co-m");
  EsperarRefusat("joan@host.-");
  // Digits and hyphens are fine in the other labels.
  EXPECT_TRUE(Validar("joan@mail-2.host-99.org").acceptat);
  // The mark is cleared by each dot, so a digit earlier does not taint the last label.
  EXPECT_TRUE(Validar("joan@9.org").acceptat);
}

TEST(ValidarCorreu, LastLabelLength) {
  EsperarRefusat("joan@host.c");
  EsperarRefusat("joan@host.c   ");
  EXPECT_TRUE(Validar("joan@host.cat").acceptat);
  EXPECT_TRUE(Validar("joan@host.es").acceptat);
  // No upper bound on the last label.
  EXPECT_TRUE(Validar("joan@host.abcdefghijklmnop").acceptat);
}

TEST(ValidarCorreu, ForbiddenDomainCharacters) {
  EsperarRefusat("joan@ho_st.org");
  EsperarRefusat("joan@h\x82st.org");    // e acute (CP850)
  EsperarRefusat("joan@ho st.org");      // space inside the domain
  EsperarRefusat("joan@host.org x");
  EsperarRefusat("joan@host!.org");
  EsperarRefusat(std::string("joan@ho\0st.org", 14));
  EsperarRefusat("joan@host.\xC7\xC7");  // bytes above 127 lower to nothing allowed
  // The same characters are fine in the name part.
  auto r = Validar("jo_an.\x82s@host.org");
  ASSERT_TRUE(r.acceptat);
  EXPECT_EQ(r.adreca, "jo_an.\x82s@host.org");
}

TEST(ValidarCorreu, AcceptedAddressIsStable) {
  // What was stored must pass the check again without further change.
  for (const std::string e : {"  A.B@X-1.Y.Zz  ", "q@w.ee", "N@M@K.LL"}) {
    auto r = Validar(e);
    ASSERT_TRUE(r.acceptat) << e;
    auto r2 = Validar(r.adreca);
    EXPECT_TRUE(r2.acceptat);
    EXPECT_EQ(r2.adreca, r.adreca);
  }
}

}  // namespace
