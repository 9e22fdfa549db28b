#include "http/NetComponent.h"

#include <memory>
#include <mutex>

#include "http/NetException.h"
#include "http/NetResourceStrings.h"
#include "http/NetStack.h"

namespace {

std::mutex GInstanceLock;
int GInstanceCount = 0;
std::unique_ptr<TNetStack> GStack;

}  // namespace

TNetStack& SocketStack() { return *GStack; }

TNetComponent::TNetComponent() {
  std::lock_guard<std::mutex> lock(GInstanceLock);
  if (GInstanceCount == 0) GStack = std::make_unique<TNetStack>();
  ++GInstanceCount;
}

TNetComponent::~TNetComponent() {
  std::lock_guard<std::mutex> lock(GInstanceLock);
  if (--GInstanceCount == 0) GStack.reset();
}

void TNetComponent::StartWork(TWorkMode mode, int32_t total) {
  TWorkInfo& info = FWorkInfos[mode];
  ++info.WorkLevel;
  if (info.WorkLevel == 1) {
    info.WorkCountMax = total;
    info.WorkCount = 0;
    if (OnWorkBegin) OnWorkBegin(this, mode, total);
  }
}

void TNetComponent::AddWork(TWorkMode mode, int32_t count) {
  TWorkInfo& info = FWorkInfos[mode];
  if (info.WorkLevel < 1) return;
  info.WorkCount += count;
  if (OnWork) OnWork(this, mode, info.WorkCount);
}

void TNetComponent::FinishWork(TWorkMode mode) {
  TWorkInfo& info = FWorkInfos[mode];
  // The level drops even when the handler raises, so the phase always closes.
  struct TLevelDrop {
    int32_t& Level;
    ~TLevelDrop() { --Level; }
  } drop{info.WorkLevel};
  if (info.WorkLevel == 1 && OnWorkEnd) OnWorkEnd(this, mode);
}

void TNetComponent::ReportStatus(TNetStatus status, const std::string& argument) {
  if (!OnStatus) return;
  using namespace NetResourceStrings;
  static const char* const Formats[] = {RSStatusResolving,    RSStatusConnecting,
                                        RSStatusConnected,    RSStatusDisconnecting,
                                        RSStatusDisconnected, RSStatusText};
  OnStatus(this, status, NetFormat(Formats[status], argument.c_str()));
}
