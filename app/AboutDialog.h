#pragma once

#include "controls/ImageButton.h"
#include "framework/Dialog.h"

namespace quorvel {

class AboutDialog : public fw::CDialog {
public:
  AboutDialog();
  ~AboutDialog() override;

  ImageButton m_btnOK;

protected:
  void DoDataExchange(fw::CDataExchange *pDX) override;
  BOOL OnInitDialog() override;
};

} // namespace quorvel
