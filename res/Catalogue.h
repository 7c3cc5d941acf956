#pragma once

#include "engine/FileCause.h"
#include "engine/Outcome.h"
#include "res/Language.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace quorvel::res {

// Texts for the values of an enum, in its order. Each row names its value, and a row missing,
// repeated or out of order does not compile, so a text cannot land on another value.
template <class Key, std::size_t Count> class KeyedTexts {
public:
  struct Row {
    Key key;
    std::string_view text;
  };

  consteval KeyedTexts(const Row (&rows)[Count]) {
    for (std::size_t index = 0; index < Count; ++index) {
      if (static_cast<std::size_t>(rows[index].key) != index || rows[index].text.empty())
        throw "each value needs its text, in the enum's order";
      m_texts[index] = rows[index].text;
    }
  }

  std::string_view operator[](Key key) const { return m_texts[static_cast<std::size_t>(key)]; }

private:
  std::array<std::string_view, Count> m_texts{};
};

// Every text the programs show or print, in one language: a translation is one more of these.
// %1, %2, ... stand for what a text names, as the comment before it says; Fill puts them in.
struct Catalogue {
  // Why a file operation failed; %1 is the file's path.
  KeyedTexts<FileCause, kFileCauseCount> fileCauses;
  // Why a run was refused. %1 is the piece, list or folder it is about, %2 a length in digits and
  // %3 the same length grouped, %4 the room a folder has, grouped, %5 the most pieces a run can
  // hold, %6 what is wrong with a checksum list (below).
  KeyedTexts<Refusal, kRefusalCount> refusals;
  // What is wrong with a checksum list. %1 is the list, %2 the line at fault, %3 the name the line
  // gives, %4 the piece or length it gives, %5 what the pieces hold.
  KeyedTexts<ListFault, kListFaultCount> listFaults;

  // The dialog's notices, under noticeCaption.
  std::string_view noticeCaption;
  std::string_view splitSucceeded;
  std::string_view joinSucceeded;
  std::string_view notASize;
  // No help file; %1 is the program's name.
  std::string_view noHelp;
  // Its status line: before the first run, after each piece (%1 its number), and otherwise.
  std::string_view initialStatus;
  std::string_view piecesCreated;
  std::string_view piecesJoined;
  std::string_view cancelling;
  std::string_view cancelled;
  std::string_view removingOlderSet;
  // Why a drop was not taken, short enough for the status line; %1 is a first piece's prefix.
  std::string_view dropOneFile;
  std::string_view dropFirstPieceOnly;
  std::string_view dropNotFound;
  // The file-open dialog's filters, as descriptions and patterns between "|"; %1 as above.
  std::string_view splitFilter;
  std::string_view joinFilter;
  // Its controls where they have no text of their own, or one of the moment.
  std::string_view aboutItem;
  std::string_view exitButton;
  std::string_view cancelButton;
  std::string_view chooseSourceName;
  std::string_view chooseDestinationName;
  std::string_view pieceSizeName;
  std::string_view progressName;
  std::string_view unitName;
  std::string_view folderPickerTitle;

  // The tool's usage: %1 is the program's name. Its lines start with usageStart or as many
  // spaces; the commands follow, each after its name, then the size, then the end.
  std::string_view usageStart;
  std::string_view splitUsage;
  std::string_view joinUsage;
  // %1 and %2 the default size and its bytes, %3 a line for each medium, %4 the floppy sizes.
  std::string_view sizeUsage;
  std::string_view usageEnd;
  // A list's last two items: "a, b and c", "a, b or c".
  std::string_view listAnd;
  std::string_view listOr;
  // %1 is a count of bytes, grouped.
  std::string_view bytes;

  // The tool's usage errors, and the pointer to its help that follows them; %1 is the program's
  // name there.
  std::string_view helpPointer;
  std::string_view noCommand;
  // %1 is the command or option given.
  std::string_view unknownCommand;
  std::string_view unknownOption;
  std::string_view needsValue;
  // %1 is the option, %2 the one command that takes it.
  std::string_view optionOnlyFor;
  // %1 is the value given, %2 the names of the media.
  std::string_view notAPieceSize;
  // %1 is the command, %2 what it takes.
  std::string_view operandsWanted;
  // The tool's other messages: %1 is a path, or the system's words for a failed write.
  std::string_view sourceIsFolder;
  std::string_view destinationMissing;
  std::string_view destinationNotFolder;
  std::string_view outputLost;
  std::string_view removingOlderSetFirst;
  // Its progress line on a terminal: %1 is the piece, %2 the percentage done, %3 and %4 the bytes
  // done and all of them in %5, %6 the rate in MB/s, %7 timeLeft or nothing; %1 there is the time.
  std::string_view progressLine;
  std::string_view timeLeft;
};

const Catalogue &EnglishCatalogue();
const Catalogue &ChineseCatalogue();
const Catalogue &CatalogueOf(Language language);
// In the language the user's system shows its messages in.
const Catalogue &Texts();

} // namespace quorvel::res
