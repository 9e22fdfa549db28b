// The failures that the tools answer with their own dialog instead of an error: the dialog
// must appear (it is closed here with its close box) and the routine must return normally.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "RegistryProbe.h"
#include "framework/Application.h"
#include "support/DialogAnswerer.h"
#include "tools/UinstTools.h"

namespace {

using TestDialogs::TDialogAnswerer;

class FailureDialogs : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Application->Initialize();
    Application->SetTitle(L"SetUp");
  }
};

}  // namespace

TEST_F(FailureDialogs, SettingsKeyThatCannotBeCreatedAsksPardonAndWritesNothing) {
  TInstaltionRec rec;
  rec.Company = "Norvasto Software";
  rec.Product = std::string(300, 'x');  // longer than a key name may be
  rec.Version = 3.12;
  TDialogAnswerer closer(TDialogAnswerer::CloseBox);
  EXPECT_FALSE(WriteInstallationSettings(rec));
  ASSERT_EQ(1u, closer.Seen().size());
  EXPECT_EQ(L"כישלון רישום התוכנה", closer.Seen()[0].Caption);
}

TEST_F(FailureDialogs, MarkerThatCannotBeWrittenIsShownNotRaised) {
  TDialogAnswerer closer(TDialogAnswerer::CloseBox);
  WriteFirstTimeMarker("C:\\no\\such\\folder");
  ASSERT_EQ(1u, closer.Seen().size());
  EXPECT_EQ(L"התקנת מערכת", closer.Seen()[0].Caption);
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\no\\such\\folder\\firstTime.dat"));
}
