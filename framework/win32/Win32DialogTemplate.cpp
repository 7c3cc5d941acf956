#include "framework/win32/Win32DialogTemplate.h"

#include "framework/DialogTemplate.h"
#include "framework/win32/Win32Utf16.h"

namespace quorvel::fw::win32 {
namespace {

class TemplateWriter {
public:
  void Word(unsigned value) { m_words.push_back(static_cast<WORD>(value)); }
  void Dword(std::uint32_t value) {
    Word(value & 0xFFFF);
    Word(value >> 16);
  }
  void Text(std::string_view text) {
    for (wchar_t c : Utf16FromUtf8(text))
      Word(static_cast<WORD>(c));
    Word(0);
  }
  // A resource is named "#<id>" as a resource script names it; the template then holds the
  // ordinal.
  void TextOrOrdinal(std::string_view text) {
    if (text.size() > 1 && text.front() == '#') {
      Word(0xFFFF);
      Word(static_cast<unsigned>(std::stoul(CString{text.substr(1)})));
      return;
    }
    Text(text);
  }
  void AlignToDword() {
    if (m_words.size() % 2)
      Word(0);
  }
  std::vector<WORD> Take() { return std::move(m_words); }

private:
  std::vector<WORD> m_words;
};

} // namespace

std::vector<WORD> BuildDialogTemplate(const DialogTemplate &dialogTemplate) {
  TemplateWriter writer;
  writer.Word(1);
  writer.Word(0xFFFF);
  writer.Dword(0);
  writer.Dword(dialogTemplate.exStyle);
  writer.Dword((dialogTemplate.style & ~WS_VISIBLE) | DS_CENTER);
  writer.Word(static_cast<unsigned>(dialogTemplate.items.size()));
  for (short coordinate : {short{0}, short{0}, dialogTemplate.cx, dialogTemplate.cy})
    writer.Word(static_cast<WORD>(coordinate));
  writer.Word(0); // no menu
  writer.Word(0); // the dialog class
  writer.Text(dialogTemplate.caption);
  if (dialogTemplate.style & DS_SETFONT) {
    writer.Word(dialogTemplate.pointSize);
    writer.Word(FW_NORMAL);
    writer.Word(DEFAULT_CHARSET << 8); // not italic
    writer.Text(dialogTemplate.faceName);
  }
  for (const DialogItemTemplate &item : dialogTemplate.items) {
    writer.AlignToDword();
    writer.Dword(0);
    writer.Dword(item.exStyle);
    writer.Dword(item.style);
    for (short coordinate : {item.x, item.y, item.cx, item.cy})
      writer.Word(static_cast<WORD>(coordinate));
    writer.Dword(item.id);
    writer.Text(item.className);
    writer.TextOrOrdinal(item.text);
    writer.Word(0); // no creation data
  }
  return writer.Take();
}

} // namespace quorvel::fw::win32
