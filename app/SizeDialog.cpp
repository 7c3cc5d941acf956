#include "app/SizeDialog.h"

#include "engine/SizeNotation.h"
#include "engine/SizePresets.h"
#include "res/Catalogue.h"
#include "res/DialogTemplates.h"
#include "res/Look.h"

#include <algorithm>
#include <iterator>

namespace quorvel {

using namespace fw;

namespace {

// The unit a new size starts with.
constexpr std::string_view kFirstUnit = "M";

CString Trimmed(const CString &text) {
  const auto first = text.find_first_not_of(" \t");
  return first == CString::npos ? CString{}
                                : text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

} // namespace

SizeDialog::SizeDialog(CWnd *parent) : CDialog(res::SizeDialogTemplate(), parent) {}

SizeDialog::~SizeDialog() = default;

void SizeDialog::DoDataExchange(CDataExchange *pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, res::IDC_SIZE_NUMBER, m_editNumber);
  DDX_Control(pDX, res::IDC_SIZE_UNIT, m_comboUnit);
  DDX_Control(pDX, IDOK, m_btnOK);
  DDX_Control(pDX, IDCANCEL, m_btnCancel);
}

BOOL SizeDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  const res::Skin &skin = res::kButtonSkin;
  for (ImageButton *button : {&m_btnOK, &m_btnCancel})
    button->SetStateImages(skin.bitmap, skin.frames, skin.top, skin.bottom, skin.left, skin.right);
  m_comboUnit.SetAccessibleName(CString{res::Texts().unitName});
  m_comboUnit.SetCurSel(static_cast<int>(
      std::distance(kSizeUnits.begin(), std::ranges::find(kSizeUnits, kFirstUnit))));
  return TRUE;
}

void SizeDialog::OnOK() {
  CString number;
  m_editNumber.GetWindowText(number);
  const int unit = m_comboUnit.GetCurSel();
  const bool hasUnit = unit >= 0 && static_cast<std::size_t>(unit) < kSizeUnits.size();
  const CString label =
      Trimmed(number) + CString{hasUnit ? kSizeUnits[static_cast<std::size_t>(unit)] : ""};
  const auto bytes = ParsePieceSize(label);
  if (!bytes) {
    MessageBox(CString{res::Texts().notASize}, CString{res::Texts().noticeCaption},
               MB_OK | MB_ICONEXCLAMATION);
    m_editNumber.SetFocus();
    m_editNumber.SendMessage(EM_SETSEL, 0, -1);
    return;
  }
  m_strLabel = label;
  m_nBytes = *bytes;
  EndDialog(IDOK);
}

} // namespace quorvel
