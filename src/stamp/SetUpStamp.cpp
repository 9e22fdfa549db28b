#include "stamp/SetUpStamp.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "framework/Text.h"
#include "stamp/PeImage.h"
#include "zip/ZipArchiver.h"
#include "zip/ZipPlatform.h"

namespace {

constexpr size_t kReadBlock = 1 << 20;

// The file routines take the archiver's form of a path: windows-1255, "\" separators.
std::string ArchiverPath(const std::string& utf8) {
  std::string path = Cp1255FromUtf8(utf8);
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::unique_ptr<TZipStream> OpenForReading(const std::string& path) {
  try {
    return ZipPlatform::OpenArchiveFile(path, fmOpenReadDenyWrite);
  } catch (const Exception& e) {
    throw EStampError(e.Message());
  }
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::unique_ptr<TZipStream> file = OpenForReading(path);
  std::vector<uint8_t> bytes(static_cast<size_t>(file->Size()));
  if (file->ReadAt(0, bytes.data(), bytes.size()) != bytes.size())
    throw EStampError("Cannot read " + path);
  return bytes;
}

uint64_t UnpackedSize(const std::string& path) {
  TZipArchiver zip;
  zip.FileName = path;
  try {
    zip.OpenArchive(fmOpenReadDenyWrite);
  } catch (const Exception& e) {
    throw EStampError(path + " does not open as a ZIP archive: " + e.Message());
  }
  uint64_t total = 0;
  for (int i = 0; i < zip.FileCount(); ++i) total += zip.Entry(i).UncompressedSize();
  zip.CloseArchive();
  return total;
}

void ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string temporary = path + ".stamping";
  {
    std::unique_ptr<TZipOutputFile> out = ZipPlatform::CreateOutputFile(temporary);
    if (!out) throw EStampError("Cannot create " + temporary);
    bool written = out->Write(bytes.data(), bytes.size());
    out->Flush();
    out->Close();
    if (written && ZipPlatform::MoveOver(temporary, path)) return;
  }
  ZipPlatform::RemoveFile(temporary);
  throw EStampError("Cannot write " + path);
}

}  // namespace

TPartStampEntry DescribePart(const std::string& utf8Path) {
  const std::string path = ArchiverPath(utf8Path);
  TPartStampEntry part;
  part.Name = utf8Path.substr(utf8Path.find_last_of("/\\") + 1);
  part.UnpackedSize = UnpackedSize(path);
  std::unique_ptr<TZipStream> file = OpenForReading(path);
  part.Size = static_cast<uint64_t>(file->Size());
  std::vector<uint8_t> block(kReadBlock);
  TSha256 hash;
  for (uint64_t done = 0; done < part.Size;) {
    const size_t want = static_cast<size_t>(std::min<uint64_t>(block.size(), part.Size - done));
    const size_t got = file->ReadAt(static_cast<int64_t>(done), block.data(), want);
    if (got == 0) throw EStampError("Cannot read " + path);
    hash.Update(block.data(), got);
    done += got;
  }
  part.Sha256 = hash.Final();
  return part;
}

void StampSetUp(const std::string& exePath, const std::vector<std::string>& partPaths) {
  const std::string path = ArchiverPath(exePath);
  std::vector<uint8_t> bytes = ReadWholeFile(path);
  TPeImage image(bytes, path);
  if (image.Signed())
    throw EStampError(path +
                      " is already signed: stamp it before signing it (the signature covers the "
                      "stamp, and stamping would break it)");
  TPeFileSpan room;
  if (!image.LocateResource(PartStampResourceType, PartStampResourceName, room) ||
      !PartStampHasMagic(bytes.data() + room.Offset, room.Size))
    throw EStampError(path + " has no room for a stamp (no resource " +
                      std::string(PartStampResourceName) + " that starts with the magic)");
  std::vector<TPartStampEntry> parts;
  for (const std::string& part : partPaths) parts.push_back(DescribePart(part));
  const std::vector<uint8_t> stamp = PartStampWrite(parts, room.Size);
  std::memcpy(bytes.data() + room.Offset, stamp.data(), stamp.size());
  image.UpdateChecksum();
  ReplaceFile(path, bytes);
}
