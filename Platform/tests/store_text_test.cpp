// The settings store's text: what hand edits keep, what damage costs, and files in the
// earlier, nested layout.
#include <Platform/Registry/StoreText.h>

#include <gtest/gtest.h>

#include <TestSupport/StoreDamage.h>

#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace detail = Platform::Registry::Detail;

namespace {

// Keys beside and inside each other, names spelt with what the text quotes, and values
// under one name that differ from key to key, so that an entry read elsewhere is known.
detail::StoredKey ManyKeys() {
    const auto text = [](std::string s) { return s + '\0'; };
    const auto word = [](std::uint32_t w) { return std::string(reinterpret_cast<const char*>(&w), 4); };
    const struct {
        const char* path;
        const char* name;  // null: the key alone
        std::uint32_t type;
        std::string bytes;
    } entries[] = {{"", "m", 4, word(1)}, {"A", "m", 4, word(2)}, {"B", "m", 4, word(3)}, {"C", "m", 1, text("c")},
        {"Environment", "Path", 1, text("/usr/local/bin:/usr/bin")}, {"Environment\\Empty", nullptr, 0, ""},
        {"Printers", "Default", 1, text("Office laser")}, {"Printers", "", 1, text("default of \"Printers\"")},
        {"SOFTWARE\\Other {x} #1", "Count", 4, word(31337)}, {"SOFTWARE\\Other {x} #1", "m", 4, word(4)},
        {"SOFTWARE\\Other {x} #1", "Path \\ \"q\"", 1, text("/srv/share {x} \"q\"")},
        {"SOFTWARE\\Quorvel", "Mode", 4, word(10)}, {"SOFTWARE\\Quorvel", "Two", 1, std::string("a\0b\0", 4)},
        {"SOFTWARE\\Quorvel\\Tonalith", "RecentFile1", 1, text("/home/me/Music/take 1.wav")},
        {"SOFTWARE\\Quorvel\\Tonalith", "RecentFile2", 1, text("/home/me/Music/take 2.wav")},
        {"SOFTWARE\\Quorvel\\Tonalith", "Mode", 3, "\1\2\3\4\5"}, {"SOFTWARE\\Quorvel\\Tonalith", "m", 4, word(5)},
        {"SOFTWARE\\Quorvel\\Tonalith\\Display", "ctl\x01\x1f", 3, std::string("\0\x7f\x80\xff", 4)},
        {"SOFTWARE\\Quorvel\\Tonalith\\Display", "m", 7, "mode"},
        {"SOFTWARE\\Quorvel\\Viewer\\Window", "Geometry", 1, text("640x480+0+0")},
        {"SOFTWARE\\Quorvel\\Viewer\\Window", "m", 4, word(6)},
        {"\xC3\x9cnic\xC3\xB6"
         "de\x01",
            "m", 1, text("\xE2\x82\xAC 5")}};
    detail::StoredKey root;
    for (const auto& entry : entries) {
        detail::StoredKey* key = &root;
        for (const std::string_view part : detail::SplitKeyPath(entry.path)) key = &key->SubKey(part);
        if (entry.name) key->SetValue(entry.name, entry.type, {entry.bytes.begin(), entry.bytes.end()});
    }
    return root;
}

// A store's entries by folded key path and name, and its key paths.
using Entries = std::map<std::pair<std::string, std::string>, std::pair<std::uint32_t, std::vector<std::uint8_t>>>;
struct Contents {
    Entries entries;
    std::set<std::string> keys;
    bool whole = false;  // as read
};

void Collect(const detail::StoredKey& key, const std::string& path, Contents& contents) {
    for (const auto& [name, value] : key.values) contents.entries[{path, name}] = {value.type, value.data};
    for (const auto& [name, sub] : key.subKeys)
        Collect(sub, *contents.keys.insert(path.empty() ? name : path + '\\' + name).first, contents);
}

Contents Read(const std::string& text) {
    detail::StoredKey root;
    Contents contents;
    contents.whole = detail::ParseStore(text, root);
    Collect(root, "", contents);
    return contents;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// Compact names for what a test expects: "path:name" of the entries read, or "path" of a key
// that holds none.
std::set<std::string> Names(const Contents& contents) {
    std::set<std::string> names;
    for (const auto& [where, value] : contents.entries) names.insert(where.first + ':' + where.second);
    for (const std::string& key : contents.keys) {
        if (contents.entries.lower_bound({key, ""}) == contents.entries.lower_bound({key + '\x01', ""}))
            names.insert(key);
    }
    return names;
}

// A store's text with what it holds and what each of its lines gives alone.
struct Written {
    std::string text;
    Contents store;
    std::vector<std::pair<std::string, Entries>> lines;

    explicit Written(std::string written) : text(std::move(written)), store(Read(text)) {
        for (std::string& line : LinesOf(text)) {
            Entries own = Read("qvstore 2\n" + line + "\nend\n").entries;
            lines.emplace_back(std::move(line), std::move(own));
        }
    }
};

// Nothing read that the store did not hold where it held it (no entry moved, no value
// replaced by another's), every entry on a line `damaged` still holds whole is kept, and a
// text that lost any entry reads as damaged.
void ExpectOnlyTouchedLinesCost(const Written& written, const std::string& damaged, const std::string& how) {
    const Contents read = Read(damaged);
    const bool lost = Names(read) != Names(written.store);
    EXPECT_FALSE(lost && read.whole) << how << ": lost an entry, yet read whole";
    for (const auto& [where, value] : read.entries) {
        const auto found = written.store.entries.find(where);
        EXPECT_TRUE(found != written.store.entries.end() && found->second == value)
            << how << ": " << where.first << ":" << where.second << " read where the store did not hold it";
    }
    for (const std::string& key : read.keys) EXPECT_TRUE(written.store.keys.count(key)) << how << ": key " << key;
    const std::vector<std::string> damagedLines = LinesOf(damaged);
    const std::set<std::string> whole(damagedLines.begin(), damagedLines.end());
    for (const auto& [line, own] : written.lines) {
        if (!whole.count(line)) continue;
        for (const auto& [where, value] : own)
            EXPECT_TRUE(read.entries.count(where)) << how << ": " << where.first << ":" << where.second << " lost";
    }
}

}  // namespace

// The writer's text and every hand edit of it read whole, as the store; a line changed by hand
// reads when it ends in "[]" (and no longer with the check of what it said before).
TEST(StoreText, HandEditsReadWhole) {
    const Contents store = Read(detail::FormatStore(ManyKeys()));
    ASSERT_TRUE(store.whole);
    ASSERT_EQ(store.keys.size(), 14u);
    for (const TestSupport::HandEdit& edit : TestSupport::HandEdits()) {
        const Contents read = Read(edit.apply(detail::FormatStore(ManyKeys())));
        EXPECT_TRUE(read.whole) << edit.name;
        EXPECT_EQ(read.entries, store.entries) << edit.name;
        EXPECT_EQ(read.keys, store.keys) << edit.name;
    }

    const std::string longName(256, 'k');
    const struct {
        std::string line;
        std::set<std::string> reads;
    } lines[] = {{"\"A\" dword \"m\" = 1 [16222b1a]", {"a:m"}},  // as the writer spells it
        {"\"A\"   dword  \"m\"=1\t[16222B1A]  ", {"a:m"}},  // the spacing, the case of the hex
        {"\"A\" dword \"m\" = 7 []", {"a:m"}}, {"key \"A\\\\B\" []", {"a", "a\\b"}}, {"\"\" binary \"m\" = []", {":m"}},
        {"\"A\" dword \"m\" = 7 [16222b1a]", {}},  // changed by hand, the old check kept
        {"\"a\" dword \"M\" = 1 [16222b1a]", {}}, {"\"A\" dword \"m\" = 1", {}}, {"\"A\" dword \"m\" = 1 [3c1e1ff", {}},
        {"\"A\" dword \"m\" = 1 [ ]", {}}, {"\"A\\\\\\\\B\" dword \"m\" = 1 []", {}},
        {"\"\\\\A\" dword \"m\" = 1 []", {}},  // empty names in a path
        {"\"A\\\\\" dword \"m\" = 1 []", {}}, {"key \"\" []", {}}, {"\"" + longName + "\" dword \"m\" = 1 []", {}},
        {"dword \"m\" = 1 []", {}}, {"# a comment a crash's zeros ran into" + std::string(3, '\0'), {}},
        {"key \"A\" { []", {}}, {"end []", {}}, {"\"A\" dword \"m\" = 1 [] []", {}}};
    for (const auto& [line, reads] : lines) {
        const Contents read = Read("qvstore 2\n" + line + "\nend\n");
        EXPECT_EQ(Names(read), reads) << line;
        EXPECT_EQ(read.whole, !reads.empty()) << line;
    }
}

// Thousands of random damages of each kind, on the writer's text and on hand-edited copies:
// no entry is read under another key or over another's value, and only the lines a damage
// touched cost their entries.
TEST(StoreText, RandomDamageCostsOnlyTheLinesItTouches) {
    for (const TestSupport::HandEdit& edit : TestSupport::HandEdits()) {
        const Written written(edit.apply(detail::FormatStore(ManyKeys())));
        for (const TestSupport::RandomDamage& damage : TestSupport::RandomDamages()) {
            for (const unsigned seed : {1u, 2u, 3u}) {
                std::mt19937 random(seed);
                for (int i = 0; i < 60; ++i) {
                    ExpectOnlyTouchedLinesCost(written, damage.apply(written.text, random),
                        std::string(edit.name) + ", " + damage.name + ", seed " + std::to_string(seed) + " #" +
                            std::to_string(i));
                }
            }
        }
    }
}

// Whatever stands in place of one line, the others keep their entries: also a header that
// says the earlier layout, a brace, a key line of that layout, or another line's text.
TEST(StoreText, OneLineReplacedByAnythingCostsOnlyItsOwnEntry) {
    const Written written(detail::FormatStore(ManyKeys()));
    const std::string& text = written.text;
    const std::vector<std::string> lines = LinesOf(text);
    for (std::size_t at = 0, index = 0; at < text.size(); at = text.find('\n', at) + 1, ++index) {
        const std::string other = lines[(index + 7) % lines.size()];
        for (const std::string& replacement : {std::string(40, '\0'), std::string("  @@@ garbage }{ \"unterminated"),
                 std::string("}"), std::string("key \"C\" {"), std::string("qvreg 1"), std::string("qvstore 2"),
                 std::string("end"), std::string(), std::string("# }"), other, other.substr(0, other.size() / 2),
                 lines[index] + "\n}\nkey \"C\" {", "\"C\" " + other.substr(other.find(' ') + 1)}) {
            std::string damaged = text;
            damaged.replace(at, lines[index].size(), replacement);
            ExpectOnlyTouchedLinesCost(written, damaged, lines[index] + " -> " + replacement.substr(0, 30));
        }
    }
}

// The text reads whole only as the writer lays it out: the header, the entries, and last the
// end line that sums them up. A line lost in any way leaves it damaged; a value changed by
// hand does not, and "end []" takes lines added or removed by hand as they read.
TEST(StoreText, WholeOnlyWhenTheEndSumsUpTheEntriesAfterTheHeader) {
    const std::vector<std::string> lines = LinesOf(detail::FormatStore(ManyKeys()));
    const std::size_t header = 3, entry = 6, end = lines.size() - 1;
    ASSERT_EQ(lines[header], "qvstore 3");
    ASSERT_EQ(lines[entry].substr(0, 13), "\"B\" dword \"m\"");
    // The text with lines replaced (by nothing: dropped), then line `from` moved before `to`.
    using Lines = std::map<std::size_t, std::string>;
    const auto edited = [&](const Lines& replaced, std::size_t from = 0, std::size_t to = 0) {
        std::vector<std::string> edit = lines;
        for (const auto& [at, with] : replaced) edit[at] = with;
        edit.insert(edit.begin() + to, edit[from]);
        edit.erase(edit.begin() + (from < to ? from : from + 1));
        std::string text;
        for (const std::string& line : edit) text += line.empty() ? "" : line + '\n';
        return text;
    };
    const std::string& line = lines[entry];
    const std::string endStatement = lines[end].substr(0, lines[end].find(" ["));
    const std::string added = line + "\n\"A\" dword \"new\" = 1 []", byHand = "end []";
    const struct {
        const char* what;
        std::string text;
        bool whole;
    } texts[] = {{"as written", edited({}), true}, {"no header", edited({{header, ""}}), false},
        {"the header after an entry", edited({}, header, entry + 1), false}, {"no end", edited({{end, ""}}), false},
        {"an entry after the end", edited({}, entry, end + 1), false},
        {"an entry line dropped", edited({{entry, ""}}), false},
        {"an entry line blanked", edited({{entry, " "}}), false},
        {"an entry line run into a comment", edited({{entry, "# note" + line}}), false},
        {"an entry line made a comment by one bit", edited({{entry, '#' + line.substr(1)}}), false},
        {"the end's count changed", edited({{end, "end 1" + lines[end].substr(4)}}), false},
        {"the end's check changed", edited({{end, endStatement + " [00000000]"}}), false},
        {"the end saying no count", edited({{end, "end"}}), false},
        {"a value changed by hand", edited({{entry, line.substr(0, line.find(" = ")) + " = 7 []"}}), true},
        {"a value changed by hand, its names in another case", edited({{entry, "\"b\" dword \"M\" = 7 []"}}), true},
        {"a line added by hand", edited({{entry, added}}), false},
        {"a line replaced by hand with another entry's", edited({{entry, "\"A\" dword \"new\" = 1 []"}}), false},
        {"a line added by hand, and the end", edited({{entry, added}, {end, byHand}}), true},
        {"a line removed by hand, and the end", edited({{entry, ""}, {end, byHand}}), true},
        {"a line removed by hand, and the end's check", edited({{entry, ""}, {end, endStatement + " []"}}), true},
        {"the header of layout 2", edited({{header, "qvstore 2"}}), true},
        {"the header of layout 2, an entry line dropped", edited({{header, "qvstore 2"}, {entry, ""}}), false},
        {"a text of layout 2", edited({{header, "qvstore 2"}, {end, "end"}}), true}};
    for (const auto& [what, text, whole] : texts) EXPECT_EQ(Read(text).whole, whole) << what;
}

// Two lines that give one entry make the text damaged; the later stands, as a line added by
// hand after another means to override it.
TEST(StoreText, TwoLinesOfOneEntryMakeTheTextDamagedAndTheLaterStands) {
    const std::string checked = "\"A\" dword \"m\" = 1 [16222b1a]\n";
    const struct {
        std::string lines;
        std::uint8_t m;  // A's m as read; 0: none
    } texts[] = {{checked + checked, 1}, {checked + "\"a\" dword \"M\" = 2 []\n", 2},
        {"\"A\" dword \"m\" = 2 []\n" + checked, 1}, {"key \"A\" []\nkey \"a\" []\n", 0}};
    for (const auto& [lines, m] : texts) {
        const Contents read = Read("qvstore 2\n" + lines + "end\n");
        EXPECT_FALSE(read.whole) << lines;
        EXPECT_EQ(read.keys, std::set<std::string>{"a"}) << lines;
        const auto found = read.entries.find({"a", "m"});
        EXPECT_EQ(found == read.entries.end() ? 0 : found->second.second.at(0), m) << lines;
    }
    EXPECT_TRUE(Read("qvstore 2\nkey \"A\" []\n" + checked + "end\n").whole);  // a key line beside its values
}

// Files of earlier releases read whole when they are, comments of any form included, and
// the next write puts them in the line layout. A damaged one keeps what it placed before its
// first line that does not read, and nothing when a key or brace line went unseen.
TEST(StoreText, EarlierLayoutFiles) {
    const std::string header = "# Quorvel settings store\nqvreg 1\n";
    const struct {
        const char* what;
        std::string text;
        bool whole;
        std::set<std::string> reads;
    } files[] = {
        {"written", header + "dword \"top\" = 1\nkey \"A\" {\n  dword \"a\" = 1\n  key \"B\" {\n  }\n}\nend\n", true,
            {":top", "a:a", "a\\b"}},
        {"a key commented out", "qvreg 1\nkey \"A\" {\n  # key \"Old\" {\n  dword \"a\" = 1\n}\nend\n", true, {"a:a"}},
        {"comments of every form",
            "qvreg 1\n# note {\nkey \"A\" {\n#}\n\t# end\n  dword \"a\" = 1\n# key \"B\" {\n}\n#\nend\n# {\n", true,
            {"a:a"}},
        {"CRLF line ends", "qvreg 1\r\nkey \"A\" {\r\n  binary \"b\" = 00 01\r\n}\r\nend\r\n", true, {"a:b"}},
        {"a line overwritten with a brace and a key line",
            "qvreg 1\nkey \"A\" {\n  dword \"m\" = 1\n  dword \"z\" = 2\n}\nkey \"C\" {\n  dword \"m\" = 3\n}\nend\n",
            true, {"a:m", "a:z", "c:m"}},  // as written: the line below damages it
        {"... damaged",
            "qvreg 1\nkey \"A\" {\n  dword \"m\" = 1\n  dword \"z\" = 2xxxxxxxxxxxx\n  dword \"m\" = 3\n}\nend\n",
            false, {"a:m"}},
        {"a line that does not read",
            header + "key \"A\" {\n  dword \"a\" = 1\n  dwor \"x\" = 2\n  dword \"b\" = 3\n}\nend\n", false, {"a:a"}},
        {"a comment a crash's zeros ran into",
            header + "key \"A\" {\n  dword \"a\" = 1\n# " + std::string(4, '\0') + "\n  dword \"b\" = 3\n}\nend\n",
            false, {"a:a"}},
        {"no end", header + "key \"A\" {\n  dword \"a\" = 1\n}\n", false, {"a:a"}},
        {"text after the end", header + "dword \"a\" = 1\nend\ndword \"b\" = 2\n", false, {":a"}},
        {"a closing brace lost", header + "key \"A\" {\n  dword \"a\" = 1\nkey \"B\" {\n  dword \"b\" = 2\n}\nend\n",
            false, {}},
        {"a key line lost", header + "dword \"a\" = 1\n  dword \"b\" = 2\n}\nkey \"C\" {\n}\nend\n", false, {}},
        {"a key line written twice", header + "key \"A\" {\nkey \"A\" {\n  dword \"a\" = 1\n}\nend\n", false, {}},
        {"the header of a file in the line layout damaged into this one's",
            "qvreg 1\n\"A\" dword \"m\" = 1 [16222b1a]\nkey \"B\" [34f28ae5]\nend\n", false, {"a:m", "b"}},
    };
    for (const auto& [what, text, whole, reads] : files) {
        const Contents read = Read(text);
        EXPECT_EQ(read.whole, whole) << what;
        EXPECT_EQ(Names(read), reads) << what;
        detail::StoredKey root;
        detail::ParseStore(text, root);
        EXPECT_EQ(Names(Read(detail::FormatStore(root))), reads) << what << ", rewritten";
    }
}
