#pragma once

#include "engine/FileException.h"
#include "engine/Outcome.h"
#include "res/Catalogue.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace quorvel::res {

// The buffer a failed open's or create's text is shown from, with its terminating zero.
inline constexpr std::size_t kOpenErrorBufferSize = 1024;

// The text with %1 to %9 replaced by the values, in their order; a value it does not name is left
// out, and a mark without a value goes.
std::string Fill(std::string_view text, std::initializer_list<std::string_view> values);
// "1,400,000".
std::string GroupedDigits(std::uint64_t number);

// The message that tells the user why a refused run stopped.
std::string RefusalText(const Outcome &outcome);
// The cause of a file failure naming its file, cut to fit a buffer of `bufferSize` bytes with its
// terminating zero, never inside a character.
std::string FailureText(const FileException &failure,
                        std::size_t bufferSize = kOpenErrorBufferSize);

} // namespace quorvel::res
