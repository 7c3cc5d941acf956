#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// The names a run writes under until its files are whole: hidden, beside the final names, in one
// pattern ".quorvel-xxxxxxxx.part" so that what a killed run left can be told from the user's files.

// A fresh name, different at each call.
std::string RandomTemporaryName();
// The same name every time for the same key, so that runs over one set find each other's.
std::string TemporaryNameFor(std::string_view key);
bool IsTemporaryName(std::string_view name);

} // namespace quorvel
