// Shows the wizard's installation page and final page for scripts/demo, which cannot reach
// them in SetUp.exe without installing: the installation steps are replaced by a pause
// that reports a download half done through the form's own progress handlers.
//   wizard_pages_demo.exe [PAUSE_MS]   (default 4000)
#include <windows.h>

#include <string>

#include "framework/Application.h"
#include "http/NetHTTP.h"
#include "wizard/UMirpan4RSetup.h"

namespace {

DWORD Pause = 4000;

class TDemoSetUp : public TFrmSetUp {
 public:
  using TFrmSetUp::TFrmSetUp;
  void ApplyTargetDrive() override {}
  void InstallFromLocalArchives() override { ShowProgress(); }
  void DownloadAndInstallArchives() override { ShowProgress(); }
  void RunFinishingSteps() override {}

 private:
  void ShowProgress() {
    LSubject->SetCaption(L"מוריד מהאינטרנט רכיבים דרושים.");
    Label21->SetCaption(L"מוריד רכיב מספר 1 מתוך 2 הרכיבים המבוקשים.");
    HttpClientWorkBegin(HttpClient.get(), wkRead, 4718592);
    HttpClientWork(HttpClient.get(), wkRead, 1746928);
    DWORD end = GetTickCount() + Pause;
    while (GetTickCount() < end && !Application->Terminated()) {
      Application->ProcessMessages();
      Sleep(20);
    }
  }
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc > 1) Pause = static_cast<DWORD>(std::stoul(argv[1]));
  Application->Initialize();
  Application->SetTitle(L"SetUp");
  auto* form = Application->CreateForm<TDemoSetUp>();
  form->InstallSource = 1;  // the download mode's texts, whatever lies beside the program
  form->Show();
  Application->ProcessMessages();
  for (int page = 0; page < 3; ++page) form->btnNextClick(form->btnNext);
  Application->Run();
  delete form;
  return 0;
}
