#include "InstallTestSupport.h"

#include <shellapi.h>

#include <cstdlib>

#include "framework/Text.h"

namespace InstallTest {

namespace {
TDialogAnswerer* ActiveAnswerer = nullptr;
}

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

bool FileThere(const std::wstring& Name) {
  DWORD a = GetFileAttributesW(Name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderThere(const std::wstring& Name) {
  DWORD a = GetFileAttributesW(Name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FileBytes(const std::wstring& Name) {
  HANDLE file =
      CreateFileW(Name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "";
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

void WriteBytes(const std::wstring& Name, const std::string& Bytes) {
  HANDLE file = CreateFileW(Name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr);
  CloseHandle(file);
}

void RemoveTree(const std::wstring& Folder) {
  std::wstring from = Folder + L'\0';  // the list ends in two zeros
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

std::vector<std::wstring> FolderEntries(const std::wstring& Folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  std::wstring pattern = Folder;
  if (pattern.empty() || pattern.back() != L'\\') pattern += L'\\';
  HANDLE search = FindFirstFileW((pattern + L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
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

TDialogAnswerer::TDialogAnswerer(TAnswer Answer) : FAnswer(Answer) {
  ActiveAnswerer = this;
  FTimer = SetTimer(nullptr, 0, 30, Poll);
}

TDialogAnswerer::~TDialogAnswerer() {
  KillTimer(nullptr, FTimer);
  ActiveAnswerer = nullptr;
}

void CALLBACK TDialogAnswerer::Poll(HWND, UINT, UINT_PTR, DWORD) {
  if (!ActiveAnswerer) return;
  for (int i = 0; i < Application->ComponentCount(); ++i) {
    auto* form = dynamic_cast<TMessageDialogForm*>(Application->Components(i));
    if (!form || !form->Modal() || !form->Handle() || !IsWindowVisible(form->Handle())) continue;
    if (form != ActiveAnswerer->FLast) ActiveAnswerer->Answer(*form);
    return;
  }
  ActiveAnswerer->FLast = nullptr;  // the one answered is gone; a new one may take its place
}

void TDialogAnswerer::Answer(TMessageDialogForm& Form) {
  FLast = &Form;
  FSeen.push_back({Form.Caption(), Form.LMemText->Caption()});
  switch (FAnswer) {
    case PressEnter: {
      HWND target = GetFocus();
      PostMessageW(target, WM_KEYDOWN, VK_RETURN, 1);
      PostMessageW(target, WM_KEYUP, VK_RETURN, 0xC0000001);
      break;
    }
    case Confirm:
      Form.SetModalResult(mrYes);
      break;
    case Cancel:
      Form.SetModalResult(mrNo);
      break;
  }
}

}  // namespace InstallTest
