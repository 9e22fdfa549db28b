#pragma once
// The archiver component: opens a ZIP archive read-only, selects entries by masks and
// extracts them below BaseDir, reporting progress and per-file failures through events.
// All of its logic lives in TZipBaseArchiver; TZipArchiver only picks the standard records.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "zip/ZipDirectory.h"
#include "zip/ZipException.h"
#include "zip/ZipMasks.h"
#include "zip/ZipTypes.h"

class TZipBaseArchiver;

// Named apart from the window framework's notify event, which takes another sender.
using TZipNotifyEvent = std::function<void(TZipBaseArchiver* Sender)>;
using TZipFileProgressEvent = std::function<void(
    TZipBaseArchiver* Sender, const std::string& FileName, double Progress,
    TZipProcessOperation Operation, TZipProgressPhase ProgressPhase, bool& Cancel)>;
using TZipProgressEvent =
    std::function<void(TZipBaseArchiver* Sender, double Progress, TZipProcessOperation Operation,
                       TZipProgressPhase ProgressPhase, bool& Cancel)>;
using TZipProcessFileFailureEvent = std::function<void(
    TZipBaseArchiver* Sender, const std::string& FileName, TZipProcessOperation Operation,
    int32_t NativeError, int32_t ErrorCode, const std::string& ErrorMessage, TZipAction& Action)>;
using TZipConfirmProcessFileEvent =
    std::function<void(TZipBaseArchiver* Sender, const std::string& FileName,
                       TZipProcessOperation Operation, bool& Confirm)>;
using TZipConfirmOverwriteEvent =
    std::function<void(TZipBaseArchiver* Sender, const std::string& SourceFileName,
                       std::string& DestFileName, bool& Confirm)>;
using TZipOnExtractFileEvent = std::function<void(TZipBaseArchiver* Sender, std::string& FileName,
                                                  uint32_t& FileAttr, const std::string& Comment)>;
using TZipOnPasswordEvent =
    std::function<void(TZipBaseArchiver* Sender, const std::string& FileName,
                       std::string& NewPassword, bool& SkipFile)>;

// Mode 32: read access, others may read but not write.
constexpr uint16_t fmOpenReadDenyWrite = 32;

class TZipBaseArchiver {
 public:
  explicit TZipBaseArchiver(void* owner = nullptr);
  virtual ~TZipBaseArchiver();
  TZipBaseArchiver(const TZipBaseArchiver&) = delete;
  TZipBaseArchiver& operator=(const TZipBaseArchiver&) = delete;

  // Published properties. Paths are UTF-8 with "\" separators, so that any folder name
  // reaches the file system as it is.
  std::string Name;  // the component's name, prefixed to its messages
  std::string FileName;
  std::string BaseDir;
  TZipOptions Options;
  TZipStringList FileMasks;
  TZipStringList ExclusionMasks;
  bool ExtractCorruptedFiles = false;
  TZipSpanningMode SpanningMode = smNone;  // set by opening; multi-part archives are refused
  bool RepairOnOpen = true;

  // Properties of writing, encryption and in-memory work, kept as the component's surface:
  // extraction ignores them (opening with InMemory set raises native error 28).
  TZipStringList NoCompressionMasks;
  std::string Password;
  std::string TempDir;
  bool InMemory = false;
  TZipCompressionLevel CompressionLevel = TZipCompressionLevel::clNormal;
  uint8_t CompressionMode() const { return FCompressionMode; }
  void SetCompressionMode(uint8_t mode);  // native error 5 above 9
  const char* CurrentVersion() const { return "1.0"; }
  void* Owner() const { return FOwner; }

  // Published events.
  TZipFileProgressEvent OnFileProgress;
  TZipProgressEvent OnOverallProgress;
  TZipProcessFileFailureEvent OnProcessFileFailure;
  TZipConfirmProcessFileEvent OnConfirmProcessFile;
  TZipConfirmOverwriteEvent OnConfirmOverwrite;
  TZipOnExtractFileEvent OnExtractFile;
  TZipNotifyEvent AfterOpen;
  TZipOnPasswordEvent OnPassword;
  // Not among the published events: raised after each megabyte that one block of input
  // decodes to, so that a caller on a window's thread keeps answering while a small block
  // expands into a large file.
  TZipNotifyEvent OnDecoding;

  void OpenArchive(uint16_t mode);
  // Opens an archive from a stream the caller keeps ownership of.
  void OpenArchive(TZipStream& stream);
  void CloseArchive();
  void ExtractFiles();
  void ExtractFiles(const std::string& fileMask, int32_t searchAttr,
                    const std::string& exclusionMask);

  bool Active() const { return FActive; }
  int FileCount() const;
  // A copy of entry I of the open directory.
  TDirItem Entry(int index) const;
  const std::string& Comment() const;
  // The entry an extraction pass is at, for handlers that want more than its name.
  int CurrentEntry() const { return FCurrentEntry; }

 protected:
  // One dispatch per event: the handler when there is one, the component's own rule when not.
  void DoOnFileProgress(const std::string& fileName, double progress,
                        TZipProcessOperation operation, TZipProgressPhase phase, bool& cancel);
  void DoOnOverallProgress(double progress, TZipProcessOperation operation, TZipProgressPhase phase,
                           bool& cancel);
  void DoOnProcessFileFailure(const std::string& fileName, TZipProcessOperation operation,
                              int32_t nativeError, int32_t errorCode,
                              const std::string& errorMessage, TZipAction& action);
  void DoOnConfirmProcessFile(const std::string& fileName, TZipProcessOperation operation,
                              bool& confirm);
  void DoOnConfirmOverwrite(const std::string& sourceFileName, std::string& destFileName,
                            bool& confirm);
  void DoOnExtractFile(std::string& fileName, uint32_t& fileAttr, const std::string& comment);
  void DoAfterOpen();

 private:
  // Reads the directory of the archive FDirectory has just been given and makes it active.
  void ReadNewDirectory();
  void CheckCanExtract();
  void ClearSelection();
  void SelectEntries(TZipArchiveItem& search, bool found);
  bool FindFirst(TZipArchiveItem& search);
  bool FindFirst(TZipArchiveItem& search, const std::string& fileMask, int32_t searchAttr,
                 const std::string& exclusionMask);
  bool FindNext(TZipArchiveItem& search);
  bool SearchFrom(TZipArchiveItem& search);
  bool EntryIsIn(const TInternalSearchRec& search, const TDirItem& item) const;

  void ProcessFiles();
  // Name is the entry's windows-1255 name for the events, Path its Unicode one.
  void ExtractOneFile(int index, const std::string& name, std::string path,
                      const std::string& baseDir);
  // Where an entry lands when its target exists; empty when the overwrite rules leave the
  // existing file alone.
  std::string TargetFor(const std::string& name, const std::string& target, int32_t entryTime);
  void DecodeEntry(int index, const std::string& name, TZipOutputFile& target);
  bool DecodeBlocks(const TDirItem& item, const std::string& name, int64_t compressedTotal,
                    TZipOutputFile& target, uint64_t& written, uint32_t& crc);
  uint32_t BlockSize(const TDirItem& item, int64_t left) const;
  bool ForceDirectories(const std::string& path);
  // Raises zeLinkOnPath for the first existing part of Path below the base that is a link.
  void RefuseLinks(const std::string& baseDir, const std::string& path);

  void* FOwner;
  uint8_t FCompressionMode = 6;
  bool FActive = false;
  uint16_t FOpenMode = 0;
  std::unique_ptr<TZipDirectory> FDirectory;
  bool FCancel = false;
  int FFilesSelected = 0;
  int FFilesDone = 0;
  int FCurrentEntry = -1;
  long double FCurrentDone = 0;
  long double FCurrentTotal = 0;
  bool FSkipFile = false;
  bool FProgressEnabled = false;
  std::string FLastFolder;    // the folder made last in this pass; saves a lookup per file
  std::string FLastLinkFree;  // the entry folder found free of links last in this pass
  std::unordered_set<uint64_t> FWrittenThisPass;  // identities of the files this pass wrote
  uint64_t FAvailableMemory = 0;
  // Kept across entries so that small files cost no allocations.
  std::vector<uint8_t> FInput;
  std::vector<uint8_t> FOutput;
  struct TInflater;
  struct TInflaterDeleter {
    void operator()(TInflater* inflater) const;
  };
  std::unique_ptr<TInflater, TInflaterDeleter> FInflater;
};

class TZipArchiver : public TZipBaseArchiver {
 public:
  explicit TZipArchiver(void* owner = nullptr);
};
