#pragma once

#include "controls/ImageButton.h"
#include "framework/Dialog.h"

#include <cstdint>

namespace quorvel {

// Asks for a piece size of the user's own, a number and a unit, and refuses what is no size.
class SizeDialog : public fw::CDialog {
public:
  explicit SizeDialog(fw::CWnd *parent);
  ~SizeDialog() override;

  // After OK: the size as the size list shows it, and in bytes.
  fw::CString m_strLabel;
  std::uint64_t m_nBytes = 0;

  fw::CEdit m_editNumber;
  fw::CComboBox m_comboUnit;
  ImageButton m_btnOK;
  ImageButton m_btnCancel;

protected:
  void DoDataExchange(fw::CDataExchange *pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override;
};

} // namespace quorvel
