#include "app/AboutDialog.h"

#include "res/DialogTemplates.h"
#include "res/Look.h"

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
  const res::Skin &skin = res::kButtonSkin;
  m_btnOK.SetStateImages(skin.bitmap, skin.frames, skin.top, skin.bottom, skin.left, skin.right);
  return TRUE;
}

} // namespace quorvel
