#pragma once
// One part's bytes fetched into its download file across the attempts of a run. An attempt
// cut off after bytes arrived leaves them, and the next one asks only for the rest, checked
// against the first reply's ETag or Last-Modified. A server that cannot continue them (a
// 200, a 416, a 206 of another range) gets the part from the start. The file is held from
// its first byte written until the part is released, across attempts and extractions.
#include <cstdint>
#include <memory>
#include <string>

#include "wizard/install/DownloadFile.h"

class TNetHTTP;

class TPartFetch {
 public:
  // Stamp is the part's stamp, or null when the program carries none.
  TPartFetch(TNetHTTP& Http, std::string Url, std::wstring FileName, const TPartStampEntry* Stamp);

  // One attempt; raises what the client raised. Answers what the bytes say of the stamp.
  TDownloadFile::TVerdict Attempt();
  // The next attempt starts from zero.
  void Forget();
  // The part's file, held; invalid before the first attempt and after Release.
  HANDLE File() const;
  // Lets the file go, where it lies.
  void Release();
  // Lets the file go and deletes it.
  void Discard();

 private:
  // Bytes of an earlier attempt the next request can continue; 0 when there are none.
  int64_t KeptBytes() const;
  void FetchRest(TDownloadFile& File, int64_t From);
  void Remember(const TDownloadFile& File);

  TNetHTTP& FHttp;
  std::unique_ptr<TDownloadFile> FFile;
  std::string FUrl;
  std::wstring FFileName;
  const TPartStampEntry* FStamp;
  int64_t FTotal = 0;        // the part's length, as the reply that began it gave it
  std::string FValidator;    // what an If-Range carries; empty: nothing to resume
  int64_t FResumedFrom = 0;  // where the running attempt continues, for its progress
};
