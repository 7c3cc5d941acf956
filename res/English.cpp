#include "res/Catalogue.h"

namespace quorvel::res {
namespace {

constexpr Catalogue kEnglish{
    .fileCauses{{
        {FileCause::none, "No error occurred."},
        {FileCause::genericException, "An unknown error occurred while accessing %1."},
        {FileCause::fileNotFound, "%1 was not found."},
        {FileCause::badPath, "%1 contains an invalid path."},
        {FileCause::tooManyOpenFiles, "%1 could not be opened because too many files are open."},
        {FileCause::accessDenied, "Access to %1 was denied."},
        {FileCause::invalidFile, "An invalid file handle is associated with %1."},
        {FileCause::removeCurrentDir, "%1 cannot be removed because it is the current directory."},
        {FileCause::directoryFull, "The directory is full; %1 could not be created."},
        {FileCause::badSeek, "Seeking in %1 failed."},
        {FileCause::hardIO, "A hardware input/output error was reported while accessing %1."},
        {FileCause::sharingViolation, "A sharing violation occurred while accessing %1."},
        {FileCause::lockViolation, "A lock violation occurred while accessing %1."},
        {FileCause::diskFull, "The disk was full while accessing %1."},
        {FileCause::endOfFile, "An attempt was made to read or write %1 past its end."},
        {FileCause::notAFile, "%1 is not a file."},
        {FileCause::fileTooLarge, "%1 is larger than its medium or the system allows a file to be."},
        {FileCause::sourceItself, "%1 is another name of the file being split."},
    }},
    .refusals{{
        {Refusal::noSource, "Please select a file."},
        {Refusal::noDestination, "Please select a folder to save."},
        {Refusal::tooShort, "File length is %2 byte, No need to split."},
        {Refusal::notFirstPiece, "Source file name error..."},
        {Refusal::pieceMissing, "The piece %1 is missing: the set cannot be joined."},
        {Refusal::pieceNotFile, "The piece %1 is not a file: the set cannot be joined."},
        {Refusal::pieceDiffers, "The piece %1 differs from the set's checksum list: it is damaged "
                                "or from another file."},
        {Refusal::pieceLength, "The piece %1 is not as long as the first piece: it is damaged or "
                               "from another file."},
        {Refusal::listInvalid, "%6: the set cannot be joined."},
        {Refusal::pieceChanged, "%1 changed while the set was being joined (another program or "
                                "split wrote it): the set cannot be joined."},
        {Refusal::tooManyPieces, "The set of %1 has %2 pieces, but the limit of open files lets "
                                 "the program hold only %5 of them at once: the set cannot be "
                                 "joined."},
        {Refusal::pieceNotListed,
         "The piece %1 is not in the set's checksum list: the set cannot be joined."},
        {Refusal::noRoom, "The pieces need %3 bytes, but %1 has room for %4. Nothing was changed."},
    }},
    .listFaults{{
        {ListFault::notAListLine, "%1, line %2, is not a line of a SHA-256 checksum list"},
        {ListFault::badHash, "%1, line %2, gives a hash that is not 64 hexadecimal digits"},
        {ListFault::outsideFolder, "%1, line %2, names %3, outside the list's folder"},
        {ListFault::notAPiece, "%1, line %2, names %3, which is no piece of this set"},
        {ListFault::otherFile, "%1, line %2, is the list of another file, %3"},
        {ListFault::pieceRepeated, "%1, line %2, lists piece %4 a second time"},
        {ListFault::pieceNotListed, "%1 has no line for piece %4"},
        {ListFault::wholeLength,
         "%1, line %2, gives a whole length of %4 bytes, but the listed pieces hold %5"},
        {ListFault::tooLong, "%1 is too long to be a checksum list"},
        {ListFault::notAFile, "%1 is not a file"},
    }},

    .noticeCaption = "Splitter",
    .splitSucceeded = "Splitted successfully",
    .joinSucceeded = "Joined successfully",
    .notASize = "Please enter a size: a number such as 700 or 2.5, and its unit. K, M and G are "
                "thousands, millions and billions of bytes, KiB, MiB and GiB 1024, "
                "1024\u00B2 and 1024\u00B3 bytes.",
    .noHelp = "No help is available for %1.\n\nTo split a file, choose it and a folder to save "
              "to with the two \"...\" buttons, pick a piece size and press \"Split\": the floppy "
              "sizes, or one for mail, a CD, a DVD or a FAT32 stick, or \"Other\u2026\" for any "
              "size. To join pieces, choose \"Join File\", pick the first piece (1_name) and a "
              "folder, and press \"Join\".",
    .initialStatus = "Status",
    .piecesCreated = "%1Files created",
    .piecesJoined = "%1files joined",
    .cancelling = "Cancelling...",
    .cancelled = "Cancelled",
    .removingOlderSet = "Removing old set",
    .dropOneFile = "Only one file",
    .dropFirstPieceOnly = "Only %1 pieces",
    .dropNotFound = "Not found",
    .splitFilter = "All Files(*.*)|*.*||",
    .joinFilter = "Splitted File(%1*.*)|%1*.*||",
    .aboutItem = "About(&A)...",
    .exitButton = "Exit",
    .cancelButton = "Cancel",
    .chooseSourceName = "Choose the source file",
    .chooseDestinationName = "Choose the destination folder",
    .pieceSizeName = "Piece size",
    .progressName = "Progress",
    .unitName = "Unit",
    .folderPickerTitle = "Select a folder",

    .usageStart = "Usage: ",
    .splitUsage = "cuts SOURCE into pieces 1_NAME, 2_NAME, ... of SIZE in DEST_FOLDER, with their\n"
                  "       checksum list NAME.sha256 (sha256sum -c checks it). Once the new set is "
                  "whole\n"
                  "       it replaces an older set of NAME there.\n",
    .joinUsage = "joins the set of FIRST_PIECE (a name beginning 1_) into NAME in DEST_FOLDER, once\n"
                 "       every piece is there and matches the list beside it (without a list: no "
                 "piece\n"
                 "       missing, all as long as the first but a shorter last one).\n",
    .sizeUsage =
        "SIZE is a number, with a fraction if need be, and a unit: K, M and G are thousands,\n"
        "millions and billions of bytes (KB, MB and GB the same), KiB, MiB and GiB 1024, 1024^2\n"
        "and 1024^3 bytes; a bare number is bytes. The default is %1, %2.\n"
        "For today's media give the size or the medium's name:\n"
        "%3"
        "mail fits the attachment limits of mail and chat, DVD a 4.7 GB disc with room for its\n"
        "file system, FAT32 the largest file that FAT32 sticks and cards hold. Floppy disks\n"
        "take %4.\n",
    .usageEnd = "Existing files of the same names are replaced once the new ones are complete. A "
                "run\n"
                "that fails or is interrupted leaves the folder as it was. Exit status: 0 done, 1\n"
                "stopped with a message, 2 usage error, 128 + the signal's number when "
                "interrupted.\n",
    .listAnd = " and ",
    .listOr = " or ",
    .bytes = "%1 bytes",

    .helpPointer = "Try '%1 --help' for more information.",
    .noCommand = "no command given",
    .unknownCommand = "unknown command '%1'",
    .unknownOption = "unknown option '%1'",
    .needsValue = "%1 needs a value",
    .optionOnlyFor = "%1 applies to %2 only",
    .notAPieceSize = "'%1' is no piece size: give a number and a unit (K, M, G, KiB, MiB, GiB), "
                     "as 700M, or bytes, or %2",
    .operandsWanted = "%1 takes %2",
    .sourceIsFolder = "%1 is a folder, not a file.",
    .destinationMissing = "the destination folder %1 does not exist.",
    .destinationNotFolder = "the destination %1 is not a folder.",
    .outputLost = "cannot write to standard output: %1",
    .removingOlderSetFirst =
        "no room to keep the older set until the new one is whole: removing it first",
    .progressLine = "pieces: %1  %2 %  %3 of %4 %5  %6 MB/s  %7",
    .timeLeft = "%1 left",
};

} // namespace

const Catalogue &EnglishCatalogue() { return kEnglish; }

} // namespace quorvel::res
