#pragma once
#include <Platform/Registry/StoreTree.h>

#include <string_view>

namespace Platform::Registry::Detail {

// The nested layout earlier releases wrote: keys open and close in braces, values stand
// inside them, and "end" ends the file.
//
//   qvreg 1
//   key "SOFTWARE" {
//     dword "AmpRuler.Mode" = 2
//   }
//   end

// True when the text's first line that is neither blank nor a comment is that layout's header.
bool IsNestedStore(std::string_view text);

// Reads a text in that layout into `root` (which must be empty); true when it is well formed.
// Otherwise `root` keeps what the lines before the first one that does not read placed:
// after that line, the nesting of the lines that follow cannot be known.
bool ReadNestedStore(std::string_view text, StoredKey& root);

}  // namespace Platform::Registry::Detail
