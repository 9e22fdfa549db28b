// The extraction pass: selection, the per-file attempt with its failure event, writing one
// entry below the base folder and decoding stored and deflated data.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <exception>

#include "framework/Text.h"
#include "zip/ZipArchiver.h"
#include "zip/ZipMethods.h"
#include "zip/ZipNames.h"
#include "zip/ZipPlatform.h"

namespace {

constexpr uint32_t kBlockSize = 1024 * 1024;
// Inflated data leave through this buffer as it fills, so memory stays the same whatever
// the compression ratio.
constexpr size_t kOutputSize = 1024 * 1024;

class TArchiverLockGuard {
 public:
  TArchiverLockGuard() { ZipPlatform::EnterArchiverLock(); }
  ~TArchiverLockGuard() { ZipPlatform::LeaveArchiverLock(); }
  TArchiverLockGuard(const TArchiverLockGuard&) = delete;
  TArchiverLockGuard& operator=(const TArchiverLockGuard&) = delete;
};

// An entry name must stay below the base folder: no drive, no root, no UNC path, no
// stream suffix and no step up.
bool IsSafeEntryName(const std::string& name) {
  if (name.find(':') != std::string::npos) return false;
  if (!name.empty() && name[0] == '\\') return false;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('\\', start);
    if (end == std::string::npos) end = name.size();
    std::string part = name.substr(start, end - start);
    // Windows drops trailing dots and spaces, so ".. " is a step up there too.
    size_t dots = static_cast<size_t>(std::count(part.begin(), part.end(), '.'));
    if (dots >= 2 && part.find_first_not_of(". ") == std::string::npos) return false;
    start = end + 1;
  }
  return true;
}

int32_t DosDateTime(const TDirItem& item) {
  return static_cast<int32_t>((static_cast<uint32_t>(item.Header.Date) << 16) | item.Header.Time);
}

}  // namespace

struct TZipBaseArchiver::TInflater {
  z_stream Stream = {};
  bool Ready = false;
  TInflater() { Ready = inflateInit2(&Stream, -MAX_WBITS) == Z_OK; }
  ~TInflater() {
    if (Ready) inflateEnd(&Stream);
  }
};

void TZipBaseArchiver::TInflaterDeleter::operator()(TInflater* inflater) const { delete inflater; }

void TZipBaseArchiver::CheckCanExtract() {
  if (!FActive || !FDirectory) throw EZipException(zeNotOpen, this);
}

void TZipBaseArchiver::ClearSelection() {
  TZipDirArray& items = FDirectory->Items();
  for (int i = 0; i < items.Count(); ++i) items.Item(i).Selected = false;
}

void TZipBaseArchiver::ExtractFiles() {
  CheckCanExtract();
  ClearSelection();
  TZipArchiveItem search;
  SelectEntries(search, FindFirst(search));
  ProcessFiles();
}

void TZipBaseArchiver::ExtractFiles(const std::string& fileMask, int32_t searchAttr,
                                    const std::string& exclusionMask) {
  CheckCanExtract();
  ClearSelection();
  TZipArchiveItem search;
  SelectEntries(search, FindFirst(search, fileMask, searchAttr, exclusionMask));
  ProcessFiles();
}

void TZipBaseArchiver::ProcessFiles() {
  TArchiverLockGuard lock;
  TZipDirArray& items = FDirectory->Items();
  FFilesDone = 0;
  FFilesSelected = 0;
  FCancel = false;
  FProgressEnabled = true;
  FLastFolder.clear();
  FLastLinkFree.clear();
  FWrittenThisPass.clear();
  FAvailableMemory = ZipPlatform::AvailablePhysicalMemory();
  for (int i = 0; i < items.Count(); ++i)
    if (items.Get(i).Selected) ++FFilesSelected;

  DoOnOverallProgress(0, opExtract, phStart, FCancel);
  if (!FCancel) {
    for (int i = 0; i < items.Count(); ++i) {
      if (!items.Get(i).Selected) continue;
      items.Item(i).Operation = opExtract;
      FCurrentEntry = i;
      TZipAction action = acSkip;
      bool completed = false;
      while (true) {
        action = acSkip;
        const std::string name = ZipSlashesToBackslashes(items.Get(i).Name);
        try {
          bool confirm = true;
          DoOnConfirmProcessFile(name, opExtract, confirm);
          if (!confirm) break;
          std::string base = BaseDir.empty() ? ZipPlatform::CurrentDirectory() : BaseDir;
          if (base.empty() || base.back() != '\\') base += '\\';
          DoOnFileProgress(name, 0, opExtract, phStart, FCancel);
          if (!FCancel) {
            ExtractOneFile(i, name, ZipSlashesToBackslashes(items.Get(i).UnicodeName), base);
            bool before = FCancel;
            DoOnFileProgress(name, 100, opExtract, phEnd, FCancel);
            FCancel = FCancel || before;
          }
          completed = true;
        } catch (const EZipException& e) {
          DoOnProcessFileFailure(name, opExtract, e.NativeError(), e.ErrorCode(), e.Message(),
                                 action);
          if (action == acRetry) continue;
        }
        break;
      }
      if (completed) {
        if (FCancel) break;
        ++FFilesDone;
      }
      if (action == acAbort || FCancel) break;
    }
    bool before = FCancel;
    DoOnOverallProgress(100, opExtract, phEnd, FCancel);
    FCancel = FCancel || before;
  }
}

bool TZipBaseArchiver::ForceDirectories(const std::string& path) {
  if (path.empty()) return false;
  std::string p = path;
  if (p.back() == '\\') p.pop_back();
  if (p.empty() || p == FLastFolder) return true;  // the root of a POSIX path
  // Only a drive ("C:") is taken as existing unseen; a short relative folder is made too.
  const bool drive = p.size() == 2 && p[1] == ':';
  if (!drive && !ZipPlatform::DirectoryExists(p)) {
    std::string parent = ZipExtractFilePath(p);
    if (!parent.empty() && parent != p && !ForceDirectories(parent)) return false;
    if (!ZipPlatform::CreateDir(p)) return false;
  }
  FLastFolder = p;
  return true;
}

// A link planted below the base (a folder pointing elsewhere, a dangling file link) would
// carry the pass's writes and deletes outside it. The base itself may be reached through
// links: that is the caller's choice. Parts not there yet are made by this pass.
void TZipBaseArchiver::RefuseLinks(const std::string& baseDir, const std::string& path) {
  const std::string folder = ZipExtractFilePath(path);
  size_t start = folder == FLastLinkFree ? folder.size() : 0;
  while (start < path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      const std::string part = baseDir + path.substr(0, end);
      if (ZipPlatform::IsLink(part))
        throw EZipException(zeLinkOnPath, this, {Cp1255FromUtf8(part)});
    }
    start = end + 1;
  }
  FLastLinkFree = folder;
}

void TZipBaseArchiver::ExtractOneFile(int index, const std::string& name, std::string path,
                                      const std::string& baseDir) {
  const TDirItem& item = FDirectory->Items().Get(index);
  uint32_t attributes = item.Header.ExternalAttributes;
  const int32_t entryTime = DosDateTime(item);
  // Backslashes are separators too, so a name ending in one is a folder whoever wrote it.
  const char last = item.Name.empty() ? '\0' : item.Name.back();
  const bool isFolder = (attributes & faDirectory) != 0 || last == '/' || last == '\\';
  std::string n = name;
  DoOnExtractFile(n, attributes, item.Comment);
  // The handler sees the windows-1255 name; only a name it changed replaces the Unicode one.
  if (n != name) path = Utf8FromCp1255(n);
  // Nothing may land outside the base folder, whatever the archive says.
  if (!IsSafeEntryName(path)) throw EZipException(zeCreateFile, this, {n});
  // On Windows such a name would reach a device or another file than the one it names.
  if (ZipHasReservedWindowsName(path)) throw EZipException(zeReservedName, this, {n});

  if (!Options.CreateDirs) path = ZipExtractFileName(path);
  RefuseLinks(baseDir, path);
  if (Options.CreateDirs) {
    std::string folder = baseDir + ZipExtractFilePath(path);
    if (!ForceDirectories(folder))
      throw EZipException(zeCreateFolder, this, {Cp1255FromUtf8(folder)});
  }
  if (isFolder) return;

  std::string target = baseDir + path;
  bool replacing = ZipPlatform::FileExists(target);
  if (replacing) {
    target = TargetFor(n, target, entryTime);
    if (target.empty()) return;
    if (ZipPlatform::IsLink(target))  // the handler may have moved it
      throw EZipException(zeLinkOnPath, this, {Cp1255FromUtf8(target)});
    replacing = ZipPlatform::FileExists(target);
    // Two entries may name one file (a name given twice, or differing only in case where
    // the file system ignores it): the first one's file stays.
    if (replacing && FWrittenThisPass.count(ZipPlatform::FileIdentity(target)))
      throw EZipException(zeWrittenThisPass, this, {Cp1255FromUtf8(target)});
  }

  // An existing file is replaced only by a good one: the entry goes into a file beside it
  // first.
  std::string output = target;
  if (replacing) {
    for (int k = 0;
         output == target || ZipPlatform::FileExists(output) || ZipPlatform::IsLink(output); ++k)
      output = target + ".~" + std::to_string(k);
  }
  // Output is a name found free just now; whatever took it since is not written through.
  std::unique_ptr<TZipOutputFile> file = ZipPlatform::CreateOutputFile(output, true);
  if (!file) throw EZipException(zeCreateFile, this, {Cp1255FromUtf8(target)});

  std::exception_ptr failure;
  try {
    DecodeEntry(index, name, *file);
  } catch (...) {
    failure = std::current_exception();
  }
  file->SetDosDateTime(static_cast<uint32_t>(entryTime));
  if (Options.FlushBuffers && ZipPlatform::IsRemovableDrive(target)) file->Flush();
  const uint64_t identity = file->Identity();
  file->Close();
  if (FSkipFile || FCancel || failure) {
    ZipPlatform::RemoveFile(output);
    if (failure) std::rethrow_exception(failure);
    return;
  }
  if (replacing) {
    ZipPlatform::ChangeAttributes(target, 0);
    if (!ZipPlatform::MoveOver(output, target)) {
      ZipPlatform::RemoveFile(output);
      throw EZipException(zeCreateFile, this, {Cp1255FromUtf8(target)});
    }
  }
  if (identity != 0) FWrittenThisPass.insert(identity);
  if (Options.SetAttributes) ZipPlatform::ChangeAttributes(target, attributes);
}

std::string TZipBaseArchiver::TargetFor(const std::string& name, const std::string& target,
                                        int32_t entryTime) {
  if (!Options.ReplaceReadOnly && (ZipPlatform::FileAttributes(target) & faReadOnly)) return "";
  switch (Options.OverwriteMode) {
    case omAlways:
      return target;
    case omNever:
      return "";
    case omIfNewer:
      return ZipPlatform::FileDosDateTime(target) >= entryTime ? "" : target;
    case omIfOlder:
      return entryTime >= ZipPlatform::FileDosDateTime(target) ? "" : target;
    case omPrompt: {
      // The handler sees and may change the windows-1255 path.
      std::string shown = Cp1255FromUtf8(target);
      const std::string before = shown;
      bool confirm = false;
      DoOnConfirmOverwrite(name, shown, confirm);
      if (!confirm) return "";
      return shown == before ? target : Utf8FromCp1255(shown);
    }
  }
  return target;
}

void TZipBaseArchiver::DecodeEntry(int index, const std::string& name, TZipOutputFile& target) {
  TZipDirArray& items = FDirectory->Items();
  if (index < 0 || index >= items.Count()) throw EZipException(zeEntryIndex, this);
  const TDirItem& item = items.Get(index);
  TZipReader& reader = FDirectory->Reader();
  reader.Seek(static_cast<int64_t>(std::min<uint64_t>(item.LocalHeaderOffset(), INT64_MAX / 4)));
  uint8_t local[30];
  reader.ReadBuffer(local, sizeof local);
  reader.Skip(static_cast<int64_t>(ZipGet16(local + 26)) + ZipGet16(local + 28));

  int64_t total = static_cast<int64_t>(std::min<uint64_t>(item.CompressedSize(), INT64_MAX / 4));
  const int64_t end = FDirectory->CentralDirectoryStart();
  if (reader.Position() + total > end) total = std::max<int64_t>(end - reader.Position(), 0);
  FCurrentTotal = static_cast<long double>(total);
  FCurrentDone = 0;
  FSkipFile = false;

  uint64_t written = 0;
  uint32_t crc = 0;
  bool decoded = false;
  const bool encrypted = (item.Header.Flags & 1) != 0;  // decryption is not provided
  const uint16_t method = item.Header.Method;
  if (method == 9) throw EZipException(zeDeflate64, this);
  // A method that can't be decoded fails whatever ExtractCorruptedFiles says: there is
  // nothing of the entry to keep.
  if (method != 0 && method != 8)
    throw EZipException(zeMethodUnsupported, this, {std::to_string(method), ZipMethodName(method)});
  if (!encrypted) decoded = DecodeBlocks(item, name, total, target, written, crc);
  const bool good =
      decoded && written == item.UncompressedSize() && (FSkipFile || crc == item.Header.Crc32);
  if (!good && !FCancel && !ExtractCorruptedFiles && !FSkipFile)
    throw EZipException(zeBadData, this);
}

// The input block for the bytes left: at most 1 MiB, halved while the output it may
// inflate to could take a twentieth of the free memory.
uint32_t TZipBaseArchiver::BlockSize(const TDirItem& item, int64_t left) const {
  uint32_t n = static_cast<uint32_t>(std::min<int64_t>(kBlockSize, left));
  const uint64_t compressed = item.CompressedSize();
  const long double ratio =
      compressed == 0 ? 0 : static_cast<long double>(item.UncompressedSize() / compressed);
  const long double limit = static_cast<long double>(FAvailableMemory) / 20;
  while (n >= 512) {
    long double x = (ratio + 1) * static_cast<long double>(n + n / 2 + 267);
    x = std::floor(x / 256) * 256;
    long double estimate = x <= 0 ? 1 : std::exp2(std::round(std::log2(x)));
    if (estimate < limit) break;
    n /= 2;
  }
  return n;
}

bool TZipBaseArchiver::DecodeBlocks(const TDirItem& item, const std::string& name,
                                    int64_t compressedTotal, TZipOutputFile& target,
                                    uint64_t& written, uint32_t& crc) {
  const uint64_t declared = item.UncompressedSize();
  const bool deflated = item.Header.Method == 8;
  if (deflated) {
    if (!FInflater) FInflater.reset(new TInflater);
    if (!FInflater->Ready || inflateReset(&FInflater->Stream) != Z_OK) return false;
  }
  if (FInput.size() < kBlockSize + 2) FInput.resize(kBlockSize + 2);
  if (deflated && FOutput.size() < kOutputSize) FOutput.resize(kOutputSize);

  // Writes what a block gave, never past the declared size: more makes the entry bad.
  auto emit = [&](const uint8_t* data, size_t count) {
    if (count > declared - written) {
      count = static_cast<size_t>(declared - written);
      crc = static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(count)));
      target.Write(data, count);
      written += count;
      return false;
    }
    crc = static_cast<uint32_t>(crc32(crc, data, static_cast<uInt>(count)));
    if (!target.Write(data, count)) return false;
    written += count;
    return true;
  };

  TZipReader& reader = FDirectory->Reader();
  int64_t done = 0;
  bool ended = false;
  while (done < compressedTotal) {
    FCurrentDone = static_cast<long double>(done);
    if (FProgressEnabled) {
      const long double part = FCurrentDone / FCurrentTotal;
      DoOnFileProgress(name, static_cast<double>(part * 100), opExtract, phRunning, FCancel);
      if (FCancel) return false;
      DoOnOverallProgress(static_cast<double>((part + FFilesDone) / FFilesSelected * 100),
                          opExtract, phRunning, FCancel);
      if (FCancel) return false;
    }
    const uint32_t n = BlockSize(item, compressedTotal - done);
    if (reader.Read(FInput.data(), n) != n) return false;
    if (!deflated) {
      if (!emit(FInput.data(), n)) return false;
    } else if (!ended) {
      z_stream& z = FInflater->Stream;
      z.next_in = FInput.data();
      z.avail_in = n;
      do {
        z.next_out = FOutput.data();
        z.avail_out = static_cast<uInt>(FOutput.size());
        int result = inflate(&z, Z_NO_FLUSH);
        if (result < 0 && result != Z_BUF_ERROR) return false;
        size_t produced = FOutput.size() - z.avail_out;
        if (produced > 0 && !emit(FOutput.data(), produced)) return false;
        if (OnDecoding) OnDecoding(this);
        if (result == Z_STREAM_END) {
          ended = true;
          break;
        }
        if (result == Z_BUF_ERROR) break;
      } while (z.avail_in > 0 || z.avail_out == 0);
    }
    done += n;
  }
  return true;
}
