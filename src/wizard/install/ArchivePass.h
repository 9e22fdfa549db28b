#pragma once
// The archiver as the installation uses it, behind a face free of the archiver's own types.
// Only ArchivePass.cpp includes the archiver.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TArchivePass {
 public:
  TArchivePass();
  ~TArchivePass();
  TArchivePass(const TArchivePass&) = delete;
  TArchivePass& operator=(const TArchivePass&) = delete;

  // Progress in percent; Finished on the last report of a file.
  std::function<void(const std::string& FileName, double Progress, bool Finished, bool& Cancel)>
      OnFileProgress;
  std::function<void(double Progress, bool& Cancel)> OnOverallProgress;
  // While one block decodes into many megabytes, after each of them.
  std::function<void()> OnDecoding;
  // A file that could not be extracted; the pass goes on with the next one.
  std::function<void(const std::string& FileName)> OnFileFailure;

  // Keep files that fail their size or CRC-32 check instead of deleting them.
  bool ExtractCorruptedFiles() const;
  void SetExtractCorruptedFiles(bool Value);

  // Reads the archive through Part, a handle the caller keeps open until Close, to extract
  // below BaseDir with folders; FileName names it in messages. Without ExtractAll the folder
  // "UserData" is left out. Raises what the archiver raises.
  void Open(void* Part, const std::wstring& FileName, const std::wstring& BaseDir, bool ExtractAll);
  // One extraction pass of the selection made by Open.
  void Extract(bool ExtractAll);
  // Errors here are of no interest: the pass is over.
  void Close() noexcept;

  struct TEntry {
    std::string Name;   // backslashes, as the progress reports it (windows-1255)
    std::wstring Path;  // the same, as the file system has it below the base folder
    bool Folder;
    std::uint64_t Size;
    std::uint32_t Crc32;
  };
  std::vector<TEntry> Entries() const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> FImpl;
};
