#include "app/AboutDialog.h"

#include "res/DialogTemplates.h"
#include "res/Resources.h"

namespace quorvel {

using namespace fw;

AboutDialog::AboutDialog() : CDialog(res::AboutBoxTemplate()) {}

AboutDialog::~AboutDialog() = default;

void AboutDialog::DoDataExchange(CDataExchange *pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, res::IDC_ABOUT_OK, m_btnOK);
}

BOOL AboutDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_btnOK.SetStateImages(res::IDB_BUTTON_SKIN, 5, 5, 5, 5, 4);
  return TRUE;
}

} // namespace quorvel
