#include "InstallTestSupport.h"

#include <cstdlib>

#include "framework/Text.h"
#include "stamp/SetUpStamp.h"
#include "tools/MirpanProduct.h"

namespace InstallTest {

std::wstring ScratchRoot() {
  const char* letter = std::getenv("MIRPAN_SCRATCH_DRIVE");
  std::wstring root = L"Q:\\";
  if (letter && *letter) root[0] = static_cast<wchar_t>(*letter);
  return root;
}

void ClearScratch() {
  for (const std::wstring& name : FolderEntries(ScratchRoot())) {
    std::wstring path = ScratchRoot() + name;
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(path);
  }
}

std::wstring BuildFolder(const std::wstring& Relative) {
  const char* binary = std::getenv("MIRPAN_BINARY_DIR");
  std::wstring folder = L"Z:" + WideFromCp1255(binary ? binary : "") + L"/" + Relative;
  for (wchar_t& c : folder)
    if (c == L'/') c = L'\\';
  return folder;
}

void StampProgram(const std::wstring& Program, const std::vector<std::wstring>& Parts) {
  auto utf8 = [](const std::wstring& Path) {
    return Utf8FromU16(std::u16string(Path.begin(), Path.end()));
  };
  std::vector<std::string> parts;
  for (const std::wstring& part : Parts) parts.push_back(utf8(part));
  StampSetUp(utf8(Program), parts);
}

const char* const PlantedUserData = "the user's own company data";

std::wstring ScratchProduct() { return ScratchRoot() + MirpanProduct::ProductFolder + L"\\"; }

void PlantUserData() {
  CreateDirectoryW((ScratchRoot() + MirpanProduct::MakerFolder).c_str(), nullptr);
  CreateDirectoryW(ScratchProduct().c_str(), nullptr);
  CreateDirectoryW((ScratchProduct() + L"UserData").c_str(), nullptr);
  WriteBytes(ScratchProduct() + L"UserData\\UserData.mdb", PlantedUserData);
}

THostForm::THostForm() {
  Application->Initialize();
  Application->SetTitle(L"SetUp");
  Form = new TForm(Application, bsNone);
  LSubject = new TLabel(Form);
  LSubject->SetParent(Form);
  Label21 = new TLabel(Form);
  Label21->SetParent(Form);
  LFileName = new TLabel(Form);
  LFileName->SetParent(Form);
  pbProgress = new TProgressFill(Form);
  pbProgress->SetParent(Form);
}

THostForm::~THostForm() { delete Form; }

}  // namespace InstallTest
