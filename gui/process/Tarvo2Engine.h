// One processing session of Qorvex: the engine with the hooks that keep the
// session's row of the status list and the status line up to date, and the
// question asked when a job fails.
#pragma once

#include <QString>
#include <cstdint>

#include "TarvoEngine.h"

class CProcessView;

class CTarvo2Engine : public CTarvoEngine {
 public:
  explicit CTarvo2Engine(CProcessView* pView);
  ~CTarvo2Engine() override;

  const QString& GetCurrentFileName() const { return m_strCurrentFileName; }
  int IsChanged() const { return m_bChanged; }
  void SetChanged(int changed) { m_bChanged = changed; }
  uint32_t GetCurrentDone() const { return m_dwCurrentDone; }
  uint32_t GetCurrentSize() const { return m_dwCurrentSize; }
  uint32_t GetOverallDone() const { return m_dwOverallDone; }
  uint32_t GetOverallTotal() const { return m_dwOverallTotal; }

  // The name a job is shown by: the modified file being read (Construct) or
  // the modified file being rebuilt (Reconstruct).
  QString DisplayName(int nEntry) const;
  // The question after a failed job, exactly as shown; whether it asks Yes/No.
  QString ErrorQuestion(int nEntry, E_TARVO_ERROR eError, bool* pAsksToContinue) const;

  // The hooks are public so that a test can play a run's events in order.
  void OnStartFile(int nEntry) override;
  void OnFinishedFile(int nEntry) override;
  void OnStartProcessing() override;
  void OnFinishedProcessing() override;
  void OnFileExists(int nEntry) override;
  void OnProgressReport(int nEntry, uint32_t done, uint32_t total) override;
  int OnTarvoError(int nEntry, E_TARVO_ERROR eError) override;

 private:
  CProcessView* m_pView;  // not owned
  QString m_strCurrentFileName;
  int m_bChanged = 0;
  uint32_t m_dwCurrentDone = 0;
  uint32_t m_dwCurrentSize = 0;
  uint32_t m_dwOverallDone = 0;
  uint32_t m_dwOverallTotal = 0;
};
