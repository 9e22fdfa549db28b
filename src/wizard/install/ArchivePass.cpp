#include "wizard/install/ArchivePass.h"

#include <windows.h>

#include <algorithm>

#include "framework/Text.h"
#include "zip/ZipArchiver.h"

namespace {
// The archiver takes paths as UTF-8.
std::string Utf8FromWide(const std::wstring& text) {
  return Utf8FromU16(std::u16string(text.begin(), text.end()));
}
std::wstring WideFromUtf8(const std::string& text) {
  std::u16string u = U16FromUtf8(text);
  return std::wstring(u.begin(), u.end());
}

// Every entry, folders and hidden or system files included.
constexpr int32_t AnyAttributes = 10431;

// Names Windows resolves to the user-data folder besides its own: the 8.3 names it may get,
// and the one an existing folder has. Names ending in a dot or a space the archiver refuses.
std::vector<std::string> UserDataAliases(std::wstring BaseDir) {
  std::vector<std::string> names = {"USERDA~?"};
  if (!BaseDir.empty() && BaseDir.back() != L'\\') BaseDir += L'\\';
  const std::wstring folder = BaseDir + L"UserData";
  wchar_t shortPath[MAX_PATH];
  const DWORD n = GetShortPathNameW(folder.c_str(), shortPath, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    const std::wstring path(shortPath, n);
    const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
    if (lstrcmpiW(name.c_str(), L"UserData") != 0) names.push_back(Cp1255FromWide(name));
  }
  return names;
}

// The archive read through a handle that stays the caller's. Reads give their own offset,
// so the handle's position, which a download file keeps for its writes, is never relied on.
class THeldPartStream : public TZipStream {
 public:
  explicit THeldPartStream(HANDLE Part) : FPart(Part) {}
  int64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(FPart, &size)) throw EZipStreamError("Stream read error");
    return size.QuadPart;
  }
  size_t ReadAt(int64_t Position, void* Buffer, size_t Count) override {
    size_t done = 0;
    while (done < Count) {
      OVERLAPPED at = {};
      const uint64_t offset = static_cast<uint64_t>(Position) + done;
      at.Offset = static_cast<DWORD>(offset);
      at.OffsetHigh = static_cast<DWORD>(offset >> 32);
      const DWORD ask = static_cast<DWORD>(std::min<size_t>(Count - done, 1u << 30));
      DWORD read = 0;
      if (!ReadFile(FPart, static_cast<uint8_t*>(Buffer) + done, ask, &read, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF) break;
        throw EZipStreamError("Stream read error");
      }
      if (read == 0) break;
      done += read;
    }
    return done;
  }

 private:
  HANDLE FPart;
};
}  // namespace

struct TArchivePass::TImpl {
  TZipArchiver Archiver;
  std::unique_ptr<THeldPartStream> Part;
};

TArchivePass::TArchivePass() : FImpl(new TImpl) {
  TZipArchiver& zip = FImpl->Archiver;
  zip.Name = "zipArchiver";
  zip.OnFileProgress = [this](TZipBaseArchiver*, const std::string& FileName, double Progress,
                              TZipProcessOperation, TZipProgressPhase Phase, bool& Cancel) {
    if (OnFileProgress) OnFileProgress(FileName, Progress, Phase == phEnd, Cancel);
  };
  zip.OnOverallProgress = [this](TZipBaseArchiver*, double Progress, TZipProcessOperation,
                                 TZipProgressPhase, bool& Cancel) {
    if (OnOverallProgress) OnOverallProgress(Progress, Cancel);
  };
  zip.OnDecoding = [this](TZipBaseArchiver*) {
    if (OnDecoding) OnDecoding();
  };
  zip.OnProcessFileFailure = [this](TZipBaseArchiver*, const std::string& FileName,
                                    TZipProcessOperation, int32_t, int32_t, const std::string&,
                                    TZipAction& Action) {
    Action = acSkip;
    if (OnFileFailure) OnFileFailure(FileName);
  };
}

TArchivePass::~TArchivePass() { Close(); }

bool TArchivePass::ExtractCorruptedFiles() const { return FImpl->Archiver.ExtractCorruptedFiles; }

void TArchivePass::SetExtractCorruptedFiles(bool Value) {
  FImpl->Archiver.ExtractCorruptedFiles = Value;
}

void TArchivePass::Open(void* Part, const std::wstring& FileName, const std::wstring& BaseDir,
                        bool ExtractAll) {
  TZipArchiver& zip = FImpl->Archiver;
  zip.Options.CreateDirs = true;
  zip.BaseDir = Utf8FromWide(BaseDir);
  zip.FileName = Utf8FromWide(FileName);
  FImpl->Part = std::make_unique<THeldPartStream>(static_cast<HANDLE>(Part));
  zip.OpenArchive(*FImpl->Part);
  zip.ExclusionMasks.Clear();
  zip.FileMasks.Clear();
  if (!ExtractAll) {
    zip.ExclusionMasks.Add("UserData");
    zip.ExclusionMasks.Add("UserData\\*.*");
    for (const std::string& alias : UserDataAliases(BaseDir)) {
      zip.ExclusionMasks.Add(alias);
      zip.ExclusionMasks.Add(alias + "\\*.*");
    }
    zip.FileMasks.Add("*.*");
  }
}

void TArchivePass::Extract(bool ExtractAll) {
  if (ExtractAll)
    FImpl->Archiver.ExtractFiles("*.*", AnyAttributes, "");
  else
    FImpl->Archiver.ExtractFiles();
}

void TArchivePass::Close() noexcept {
  try {
    if (FImpl->Archiver.Active()) FImpl->Archiver.CloseArchive();
  } catch (...) {
  }
  FImpl->Part.reset();
}

std::vector<TArchivePass::TEntry> TArchivePass::Entries() const {
  std::vector<TEntry> entries;
  const TZipArchiver& zip = FImpl->Archiver;
  if (!zip.Active()) return entries;
  for (int i = 0; i < zip.FileCount(); ++i) {
    TDirItem item = zip.Entry(i);
    std::string name = ZipSlashesToBackslashes(item.Name);
    const bool folder = (item.Header.ExternalAttributes & faDirectory) != 0 ||
                        (!name.empty() && name.back() == '\\');
    entries.push_back({name, WideFromUtf8(ZipSlashesToBackslashes(item.UnicodeName)), folder,
                       item.UncompressedSize(), item.Header.Crc32});
  }
  return entries;
}
