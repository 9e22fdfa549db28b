#include "wizard/install/PartFetch.h"

#include "framework/Exception.h"
#include "http/NetException.h"
#include "http/NetHTTP.h"
#include "http/NetHeaderList.h"

namespace {

constexpr int32_t kRangeNotSatisfiable = 416;

// The server answered the resumed request, but not with the rest of the kept bytes.
class EResumeRefused : public Exception {
 public:
  MIRPAN_EXCEPTION_CLASS(EResumeRefused)
  using Exception::Exception;
};

}  // namespace

TPartFetch::TPartFetch(TNetHTTP& Http, std::string Url, std::wstring FileName,
                       const TPartStampEntry* Stamp)
    : FHttp(Http), FUrl(std::move(Url)), FFileName(std::move(FileName)), FStamp(Stamp) {}

void TPartFetch::Forget() {
  FTotal = 0;
  FValidator.clear();
}

HANDLE TPartFetch::File() const { return FFile ? FFile->Handle() : INVALID_HANDLE_VALUE; }

void TPartFetch::Release() { FFile.reset(); }

void TPartFetch::Discard() {
  Release();
  DeleteIfThere(FFileName);
}

int64_t TPartFetch::KeptBytes() const {
  if (FValidator.empty() || !FFile) return 0;
  const int64_t size = FFile->Size();
  return size > 0 && size < FTotal ? size : 0;
}

TDownloadFile::TVerdict TPartFetch::Attempt() {
  const int64_t kept = KeptBytes();
  if (kept > 0) {
    FFile->GoOnAtEnd();
  } else {
    Forget();
    if (FFile)
      FFile->StartOver();
    else
      FFile = std::make_unique<TDownloadFile>(FFileName, FStamp);
  }
  TDownloadFile& file = *FFile;
  try {
    if (kept > 0) {
      try {
        FetchRest(file, kept);
        return file.StampVerdict();
      } catch (const EResumeRefused&) {
        file.StartOver();
      }
    }
    FHttp.Get(FUrl, file);
  } catch (const EPartMismatch&) {
    Forget();
    throw;
  } catch (...) {
    Remember(file);
    throw;
  }
  return file.StampVerdict();
}

void TPartFetch::FetchRest(TDownloadFile& File, int64_t From) {
  TNetHTTPRequest& request = FHttp.Request();
  request.ContentRangeStart = static_cast<int32_t>(From);
  request.IfRange = FValidator;
  // Progress goes on from the kept bytes, unless the part comes again from its start.
  auto onWorkBegin = FHttp.OnWorkBegin;
  auto onWork = FHttp.OnWork;
  FResumedFrom = 0;
  FHttp.OnWorkBegin = [&](TNetComponent* Sender, TWorkMode Mode, int32_t Total) {
    const int32_t code = FHttp.Response().ResponseCode();
    if (code == 206 && !FHttp.Response().ResumesAt(From, FTotal))
      throw EResumeRefused("The reply does not continue the kept bytes");
    if (code == 200) File.StartOver();
    FResumedFrom = code == 206 ? From : 0;
    if (onWorkBegin) onWorkBegin(Sender, Mode, static_cast<int32_t>(FResumedFrom + Total));
  };
  FHttp.OnWork = [&](TNetComponent* Sender, TWorkMode Mode, int32_t Count) {
    if (onWork) onWork(Sender, Mode, static_cast<int32_t>(FResumedFrom + Count));
  };
  struct TRestore {
    TNetHTTP& Http;
    decltype(onWorkBegin)& Begin;
    decltype(onWork)& Work;
    ~TRestore() {
      Http.OnWorkBegin = Begin;
      Http.OnWork = Work;
      Http.Request().ContentRangeStart = 0;
      Http.Request().IfRange.clear();
    }
  } restore{FHttp, onWorkBegin, onWork};
  try {
    FHttp.Get(FUrl, File);
  } catch (const ENetHTTPProtocolException&) {
    if (FHttp.Response().ResponseCode() == kRangeNotSatisfiable)
      throw EResumeRefused("The server cannot continue the kept bytes");
    throw;
  }
}

void TPartFetch::Remember(const TDownloadFile& File) {
  const int32_t code = FHttp.Response().ResponseCode();
  if (code == 200) {
    FTotal = FHttp.Response().HasContentLength() ? FHttp.Response().ContentLength() : 0;
    FValidator = FHttp.Response().ResumeValidator();
    // The client refuses to send such a value, so every resumed attempt would fail on it.
    if (NetHasControlCharacter(FValidator)) FValidator.clear();
  } else if (code != 206) {
    Forget();
  }
  if (FTotal <= 0 || File.Size() <= 0) Forget();
}
