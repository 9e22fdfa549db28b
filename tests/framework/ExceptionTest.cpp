#include <gtest/gtest.h>

#include "framework/Exception.h"

namespace {
class EDerived : public Exception {
 public:
  using Exception::Exception;
  MIRPAN_EXCEPTION_CLASS(EDerived)
};
}  // namespace

TEST(Exception, CarriesMessageHelpContextAndClassNameThroughTheBase) {
  try {
    throw EDerived("Stream read error", 7);
  } catch (const Exception& e) {
    EXPECT_EQ("Stream read error", e.Message());
    EXPECT_STREQ("Stream read error", e.what());
    EXPECT_EQ(7, e.HelpContext());
    EXPECT_STREQ("EDerived", e.ClassName());
  }
}
