#pragma once
// Root of the stack's components: the status event and the work events with their
// per-mode counters. The first component alive creates the socket stack, the last frees it.
#include <cstdint>
#include <functional>
#include <string>

class TNetComponent;

enum TWorkMode { wkRead = 0, wkWrite = 1 };
enum TNetStatus {
  stResolving,
  stConnecting,
  stConnected,
  stDisconnecting,
  stDisconnected,
  stStatusText
};

using TNetStatusEvent =
    std::function<void(TNetComponent* sender, TNetStatus status, const std::string& text)>;
using TWorkBeginEvent =
    std::function<void(TNetComponent* sender, TWorkMode mode, int32_t workCountMax)>;
using TWorkEvent = std::function<void(TNetComponent* sender, TWorkMode mode, int32_t workCount)>;
using TWorkEndEvent = std::function<void(TNetComponent* sender, TWorkMode mode)>;

class TNetComponent {
 public:
  TNetComponent();
  virtual ~TNetComponent();
  TNetComponent(const TNetComponent&) = delete;
  TNetComponent& operator=(const TNetComponent&) = delete;

  virtual void StartWork(TWorkMode mode, int32_t total = 0);
  virtual void AddWork(TWorkMode mode, int32_t count);
  virtual void FinishWork(TWorkMode mode);

  // Fires OnStatus with the kind's text; argument fills its %s.
  void ReportStatus(TNetStatus status, const std::string& argument = std::string());

  TNetStatusEvent OnStatus;
  TWorkBeginEvent OnWorkBegin;
  TWorkEvent OnWork;
  TWorkEndEvent OnWorkEnd;

  struct TWorkInfo {
    int32_t WorkLevel = 0;
    int32_t WorkCountMax = 0;
    int32_t WorkCount = 0;
  };
  const TWorkInfo& WorkInfo(TWorkMode mode) const { return FWorkInfos[mode]; }

 private:
  TWorkInfo FWorkInfos[2];
};
