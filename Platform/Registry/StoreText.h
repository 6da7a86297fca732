#pragma once
#include <Platform/Registry/StoreTree.h>

#include <string>
#include <string_view>

namespace Platform::Registry::Detail {

// The store file's text: one statement per line, keys nested in braces, ended by "end".
//
//   qvreg 1
//   key "SOFTWARE" {
//     string "LastFolder" = "/home/me/Music"
//     dword "AmpRuler.Mode" = 2
//     binary "Opacity" = 00 00 80 3f
//     value 7 "Other" = 61 62
//   }
//   end
//
// Quoted text escapes '"', '\' and control bytes (\xHH); other bytes stand as they are.
std::string FormatStore(const StoredKey& root);

// Reads a whole store text into `root` (which must be empty); true when the text is
// well formed. After a syntax error, limit overrun or missing "end" (a truncated file)
// it returns false with `root` holding every entry that still reads.
bool ParseStore(std::string_view text, StoredKey& root);

}  // namespace Platform::Registry::Detail
