// The failures that the tools answer with their own dialog instead of an error: the dialog
// must appear (it is closed here with its close box) and the routine must return normally.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "RegistryProbe.h"
#include "framework/Application.h"
#include "tools/UinstTools.h"

namespace {

// Closes the first top-level window with the given caption that appears within a while.
class TDialogCloser {
 public:
  explicit TDialogCloser(std::wstring Caption)
      : FWatcher([this, Caption] {
          for (int i = 0; i < 400 && !FSeen; ++i) {
            if (HWND dialog = FindWindowW(nullptr, Caption.c_str())) {
              FSeen = true;
              PostMessageW(dialog, WM_CLOSE, 0, 0);
            }
            Sleep(50);
          }
        }) {}
  ~TDialogCloser() {
    if (FWatcher.joinable()) FWatcher.join();
  }
  bool Seen() {
    if (FWatcher.joinable()) FWatcher.join();
    return FSeen;
  }

 private:
  std::atomic<bool> FSeen{false};
  std::thread FWatcher;
};

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
  TDialogCloser closer(L"כישלון רישום התוכנה");
  EXPECT_FALSE(WriteInstallationSettings(rec));
  EXPECT_TRUE(closer.Seen());
}

TEST_F(FailureDialogs, MarkerThatCannotBeWrittenIsShownNotRaised) {
  TDialogCloser closer(L"התקנת מערכת");
  WriteFirstTimeMarker("C:\\no\\such\\folder");
  EXPECT_TRUE(closer.Seen());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(L"C:\\no\\such\\folder\\firstTime.dat"));
}
