// SetUp.exe beside a dwmapi.dll and a msimg32.dll of an attacker's, with Wine told to take
// native DLLs first (WINEDLLOVERRIDES, set by CTest: Wine reads it from the Unix environment,
// which a child gets from the test, not from its Windows environment): the program loads
// neither and still comes up.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "../support/TestFiles.h"
#include "SetUpDriver.h"

namespace {

using TestFiles::FileThere;

const wchar_t* const Planted[] = {L"dwmapi.dll", L"msimg32.dll"};

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder = path;
  return folder.substr(0, folder.rfind(L'\\') + 1);
}

class PlantedDll : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::wstring bin = ProgramFolder();
    TestFiles::RemoveTree(Folder);
    CreateDirectoryW(Folder.c_str(), nullptr);
    for (const wchar_t* name : Planted)
      ASSERT_TRUE(CopyFileW((bin + L"planted\\" + name).c_str(), (Folder + name).c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((bin + L"planted\\BareNameLoader.exe").c_str(),
                          (Folder + L"BareNameLoader.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((bin + L"SetUp.exe").c_str(), (Folder + L"SetUp.exe").c_str(), FALSE));
  }
  void TearDown() override { TestFiles::RemoveTree(Folder); }

  std::wstring Marker(const wchar_t* Name) const { return Folder + Name + L".loaded"; }
  void RemoveMarkers() const {
    for (const wchar_t* name : Planted) DeleteFileW(Marker(name).c_str());
  }

  const std::wstring Folder = ProgramFolder() + L"planted-run\\";
};

TEST_F(PlantedDll, AreTakenByABareNameButNotBySetUp) {
  // The control: a program that loads by bare name takes both, so the markers can show.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION loader{};
  std::wstring command = L"\"" + Folder + L"BareNameLoader.exe\"";
  ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             Folder.c_str(), &startup, &loader));
  EXPECT_EQ(WaitForSingleObject(loader.hProcess, 60000), WAIT_OBJECT_0);
  CloseHandle(loader.hThread);
  CloseHandle(loader.hProcess);
  for (const wchar_t* name : Planted) EXPECT_TRUE(FileThere(Marker(name))) << Utf8(name);
  RemoveMarkers();

  TSetUpDriver setUp(Folder + L"SetUp.exe");
  ASSERT_TRUE(setUp.Started());
  HWND window = setUp.WaitForWindow(SetUpText::Welcome);
  ASSERT_NE(window, nullptr) << Utf8(setUp.VisibleTitles());
  ASSERT_TRUE(setUp.Click(window, SetUpText::Exit));
  setUp.AnswerDialog(SetUpText::ExitQuestionCaption, true);
  EXPECT_TRUE(setUp.Exited(60000)) << Utf8(setUp.VisibleTitles());
  for (const wchar_t* name : Planted) EXPECT_FALSE(FileThere(Marker(name))) << Utf8(name);
}

}  // namespace
