#pragma once
// Just enough of the PE format to find a resource's bytes in a PE32 or PE32+ file held in
// memory, to keep the header checksum right after changing them, and to tell a signed file.
// Every offset read from the file is checked against its size.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct TPeFileSpan {
  size_t Offset = 0;
  size_t Size = 0;
};

class TPeImage {
 public:
  // Raises EStampError "<Label> is not a PE32 or PE32+ image" when it is neither. The image works
  // on Bytes in place; they must outlive it and keep their size.
  TPeImage(std::vector<uint8_t>& bytes, const std::string& label);

  // Where the resource of that type and (upper-case ASCII) name lies in the file, in its
  // first language; false when the image has no such resource.
  bool LocateResource(uint16_t type, const std::string& name, TPeFileSpan& span) const;
  // Recomputes the header checksum after the bytes changed, unless it is zero: zero means
  // the linker left it unset, and the loader does not look at it then.
  void UpdateChecksum();
  // True when the Security directory holds a certificate table (an Authenticode signature):
  // any change to the bytes it covers breaks that signature.
  bool Signed() const { return FSigned; }

 private:
  struct TSection {
    uint32_t VirtualAddress, RawSize, RawOffset;
  };
  bool RvaToOffset(uint32_t rva, uint32_t size, size_t& offset) const;
  // The file offset of Count bytes at Relative from the resource root, when they lie inside.
  bool InResources(uint64_t relative, uint64_t count, size_t& at) const;
  // The target of the entry of a resource directory with that ID, or that name when Name is
  // not empty (high bit set: a subdirectory), relative to the resource root.
  bool FindEntry(uint32_t directory, uint32_t id, const std::string& name, uint32_t& target) const;
  bool NameIs(uint32_t relative, const std::string& name) const;
  uint32_t Read32(size_t offset) const;
  uint16_t Read16(size_t offset) const;
  bool Inside(uint64_t offset, uint64_t count) const;

  std::vector<uint8_t>& FBytes;
  size_t FChecksumOffset = 0;
  std::vector<TSection> FSections;
  bool FSigned = false;
  bool FHasResources = false;
  size_t FResourceRoot = 0;
  size_t FResourceSize = 0;
};
