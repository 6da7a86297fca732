#include <Platform/Registry/StoreNested.h>
#include <Platform/Registry/StoreSyntax.h>

#include <vector>

namespace Platform::Registry::Detail {
namespace {

bool IsHeader(LineReader& reader) {
    const std::string_view keyword = reader.Word();
    const auto version = reader.Number();
    return keyword == "qvreg" && version == 1u && reader.AtEnd();
}

}  // namespace

bool IsNestedStore(std::string_view text) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        if (AsRemark(line) == Remark::None) {
            LineReader reader(line);
            return IsHeader(reader);
        }
        start = end + 1;
    }
    return false;
}

bool ReadNestedStore(std::string_view text, StoredKey& root) {
    std::vector<StoredKey*> open{&root};
    bool headerSeen = false, ended = false;
    // A key or brace line lost, blanked or written twice leaves no line that does not read:
    // the braces stop balancing only after the entries it misplaced, and where the nesting
    // went wrong cannot be told. Then no entry is sure of its key.
    const auto unbalanced = [&root] {
        root = StoredKey{};
        return false;
    };
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) return false;  // every line ends with a newline
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (const Remark remark = AsRemark(line); remark != Remark::None) {
            if (remark == Remark::Damage) return false;
            continue;
        }
        LineReader reader(line);
        if (ended) return false;

        if (reader.Symbol('}')) {
            if (!reader.AtEnd()) return false;
            if (open.size() < 2) return unbalanced();
            open.pop_back();
            continue;
        }
        if (!headerSeen) {
            if (!IsHeader(reader)) return false;
            headerSeen = true;
            continue;
        }
        LineReader afterWord = reader;  // the value statement reads its type word itself
        const std::string_view keyword = afterWord.Word();
        if (keyword == "end") {
            if (!afterWord.AtEnd()) return false;
            if (open.size() != 1) return unbalanced();
            ended = true;
        } else if (keyword == "key") {
            const auto name = afterWord.Quoted(kMaxKeyNameLength);
            if (!name || name->empty() || name->find('\\') != std::string::npos) return false;
            if (!afterWord.Symbol('{') || !afterWord.AtEnd() || open.size() > kMaxKeyDepth) return false;
            open.push_back(&open.back()->SubKey(*name));
        } else if (auto value = ReadValueStatement(reader)) {
            open.back()->SetValue(value->name, value->type, std::move(value->data));
        } else {
            return false;
        }
    }
    return ended;
}

}  // namespace Platform::Registry::Detail
