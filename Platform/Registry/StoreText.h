#pragma once
#include <Platform/Registry/StoreTree.h>

#include <string>
#include <string_view>

namespace Platform::Registry::Detail {

// The store file's text: a header, a line an entry, and an end line that sums them up.
// Each line names its key in full, so that it reads alone: a line that reads is kept
// wherever it stands, and one that does not costs nothing but itself.
//
//   qvstore 3
//   key "SOFTWARE" [e03ec8b8]
//   "SOFTWARE\\Quorvel\\Tonalith" dword "AmpRuler.Mode" = 2 [8f4d0206]
//   "SOFTWARE\\Quorvel\\Tonalith" string "LastFolder" = "/home/me/Music" [8b637edd]
//   end 3 [2f271068]
//
// A key line stands for a key that holds no values (any other is known by its values'
// lines). The bracketed hex word ending a line is the CRC-32 of its statement as the writer
// spells it, so that no damage makes a line say something else; a line written by hand ends
// in "[]" instead and is taken as it reads. A line without either end (one cut short) does
// not read. Blank lines and comments ('#' first) are nothing.
//
// The end line counts the entry lines, and its check also covers where each of their
// entries is, so that a line lost in any way (dropped, blanked, run into a comment) leaves
// the file damaged rather than quietly shorter. "end []" (or "end 3 []") ends a file whose
// lines were added or removed by hand; a bare "end" one of layout 2, which counted nothing.
std::string FormatStore(const StoredKey& root);

// Reads a whole store text into `root` (which must be empty); true when the text is whole:
// the header first, the end line last and summing up the entries, every other line that is
// not a comment an entry that reads, no entry twice, every line ended by a newline.
// Otherwise `root` holds every entry that reads, the later line's where two give the same
// (as a later line overrides an earlier one in most settings files). A file in the earlier,
// nested layout is read as that layout's reader says.
bool ParseStore(std::string_view text, StoredKey& root);

}  // namespace Platform::Registry::Detail
