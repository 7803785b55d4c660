#include "App/ZelvornURL.h"

#include <uriparser/Uri.h>

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <charconv>

#include <fmt/format.h>

namespace zelvorn {

namespace {

using QueryItem = std::pair<std::string, std::optional<std::string>>;

// A link taken apart: words are the host followed by the path components, percent-decoded.
struct Link {
  std::string scheme;
  std::vector<std::string> words;
  bool wordsDecoded = true;  // false when a word was not valid UTF-8 once decoded
  std::vector<QueryItem> query;
};

bool isValidText(std::string_view s) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(s.data());
  auto n = static_cast<std::int32_t>(s.size());
  for (std::int32_t i = 0; i < n;) {
    UChar32 c;
    U8_NEXT(p, i, n, c);
    if (c <= 0) return false;  // malformed, or NUL
  }
  return true;
}

bool isHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Characters a well-formed link may carry as they are (RFC 3986 unreserved and reserved, less the
// brackets, which only an IP-literal host may use).
bool mayStayAsIs(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~:/?#@!$&'()*+,;=").find(static_cast<char>(c)) !=
         std::string_view::npos;
}

// Links typed into a script or a launcher often carry spaces or raw UTF-8; they are encoded
// first, as a browser would, instead of being rejected.
std::string encodedLeniently(std::string_view url) {
  std::string out;
  out.reserve(url.size());
  for (std::size_t i = 0; i < url.size(); ++i) {
    auto c = static_cast<unsigned char>(url[i]);
    if (c == '%' && i + 2 < url.size() && isHex(url[i + 1]) && isHex(url[i + 2])) {
      out += '%';
    } else if (c != '%' && mayStayAsIs(c)) {
      out += static_cast<char>(c);
    } else {
      fmt::format_to(std::back_inserter(out), "%{:02X}", c);
    }
  }
  return out;
}

std::optional<std::string> decoded(const char* first, const char* afterLast) {
  if (!first || afterLast < first) return std::string();
  std::string text(first, afterLast);
  const char* end = uriUnescapeInPlaceExA(text.data(), URI_FALSE, URI_BR_DONT_TOUCH);
  text.resize(static_cast<std::size_t>(end - text.data()));
  if (!isValidText(text)) return std::nullopt;
  return text;
}

std::string lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::vector<QueryItem> queryItems(std::string_view query) {
  std::vector<QueryItem> items;
  std::size_t start = 0;
  while (start <= query.size()) {
    std::size_t end = std::min(query.find('&', start), query.size());
    std::string_view item = query.substr(start, end - start);
    std::size_t eq = item.find('=');
    std::string_view name = item.substr(0, eq);
    auto decodedName = decoded(name.data(), name.data() + name.size());
    std::optional<std::string> value;
    if (eq != std::string_view::npos) {
      std::string_view raw = item.substr(eq + 1);
      value = decoded(raw.data(), raw.data() + raw.size());
    }
    if (decodedName) items.emplace_back(std::move(*decodedName), std::move(value));
    start = end + 1;
  }
  return items;
}

std::optional<Link> split(std::string_view url) {
  std::string text = encodedLeniently(url);
  UriUriA uri{};
  const char* errorPos = nullptr;
  if (uriParseSingleUriExA(&uri, text.data(), text.data() + text.size(), &errorPos) !=
      URI_SUCCESS) {
    uriFreeUriMembersA(&uri);
    return std::nullopt;
  }
  Link link;
  if (uri.scheme.first) link.scheme.assign(uri.scheme.first, uri.scheme.afterLast);
  auto addWord = [&](const UriTextRangeA& range) {
    auto word = decoded(range.first, range.afterLast);
    if (!word) {
      link.wordsDecoded = false;
    } else if (!word->empty() && *word != "/") {
      link.words.push_back(std::move(*word));
    }
  };
  if (uri.hostText.first && uri.hostText.afterLast > uri.hostText.first) addWord(uri.hostText);
  for (auto* segment = uri.pathHead; segment; segment = segment->next)
    addWord(segment->text);
  if (uri.query.first)
    link.query = queryItems(std::string_view(
        uri.query.first, static_cast<std::size_t>(uri.query.afterLast - uri.query.first)));
  uriFreeUriMembersA(&uri);
  return link;
}

std::optional<std::string> queryTargetOf(const Link& link) {
  for (std::string_view wanted : {"workspace", "name", "index"}) {
    for (const auto& [name, value] : link.query) {
      if (lowered(name) != wanted) continue;
      if (value && !value->empty()) return value;
      break;  // only the first occurrence of a name counts
    }
  }
  return std::nullopt;
}

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::string quotedOrNil(const std::optional<std::string>& text) {
  return text ? quoted(*text) : std::string("nil");
}

// Trims Unicode white space (spaces, tabs, newlines and the like) from both ends.
std::string_view trimmed(std::string_view s) {
  const auto* p = reinterpret_cast<const std::uint8_t*>(s.data());
  auto n = static_cast<std::int32_t>(s.size());
  std::int32_t begin = 0;
  while (begin < n) {
    std::int32_t i = begin;
    UChar32 c;
    U8_NEXT(p, i, n, c);
    if (c < 0 || !u_isUWhiteSpace(c)) break;
    begin = i;
  }
  std::int32_t end = n;
  while (end > begin) {
    std::int32_t i = end;
    UChar32 c;
    U8_PREV(p, begin, i, c);
    if (c < 0 || !u_isUWhiteSpace(c)) break;
    end = i;
  }
  return s.substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin));
}

// A form of the text that is equal for two texts that differ only in case and diacritics:
// case-folded, decomposed, with the combining marks dropped.
icu::UnicodeString folded(std::string_view text) {
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(
      icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
  u.foldCase(U_FOLD_CASE_DEFAULT);
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
  if (U_FAILURE(status)) return u;
  icu::UnicodeString decomposed = nfd->normalize(u, status);
  if (U_FAILURE(status)) return u;
  icu::UnicodeString out;
  for (std::int32_t i = 0; i < decomposed.length();) {
    UChar32 c = decomposed.char32At(i);
    if (u_charType(c) != U_NON_SPACING_MARK) out.append(c);
    i += U16_LENGTH(c);
  }
  return out;
}

// A decimal integer: an optional sign, then ASCII digits only.
std::optional<long long> decimalInteger(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  long long value = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
  return negative ? -value : value;
}

}  // namespace

const std::vector<ZelvornURL::Verb>& ZelvornURL::verbs() {
  static const std::vector<Verb> table{
      {"Show a workspace", "zelvorn://show/<name>"},
      {"Show it, or hide it if it's already up", "zelvorn://toggle/<name>"},
      {"Hide the workspace in front", "zelvorn://hide"},
      {"Bring a workspace to this display", "zelvorn://bring/<name>"},
      {"Move focus to the next / previous app", "zelvorn://focus/next"},
      {"Zoom the focused app to fill the workspace", "zelvorn://solo"},
  };
  return table;
}

std::string ZelvornURL::link(std::string_view verb, std::string_view target) {
  std::string in(target);
  // At most three characters out for one in, and the terminating NUL.
  std::string escaped(in.size() * 3 + 1, '\0');
  const char* end = uriEscapeA(in.c_str(), escaped.data(), URI_FALSE, URI_FALSE);
  escaped.resize(static_cast<std::size_t>(end - escaped.data()));
  return "zelvorn://" + std::string(verb) + "/" + escaped;
}

std::optional<std::string> ZelvornURL::queryTarget(std::string_view url) {
  auto link = split(url);
  if (!link) return std::nullopt;
  return queryTargetOf(*link);
}

std::optional<ZelvornURL::Command> ZelvornURL::parse(std::string_view url) {
  auto link = split(url);
  if (!link || lowered(link->scheme) != "zelvorn") return std::nullopt;
  if (!link->wordsDecoded || link->words.empty()) return std::nullopt;

  std::string verb = lowered(link->words.front());
  std::optional<std::string> target;
  std::string joined;
  for (std::size_t i = 1; i < link->words.size(); ++i) {
    if (i > 1) joined += '/';
    joined += link->words[i];
  }
  if (!joined.empty()) target = std::move(joined);
  if (auto fromQuery = queryTargetOf(*link)) target = std::move(fromQuery);

  if (verb == "show") {
    if (!target) return std::nullopt;
    return Show{*target};
  }
  if (verb == "hide") return Hide{target};
  if (verb == "toggle") {
    if (!target) return std::nullopt;
    return Toggle{*target};
  }
  if (verb == "bring" || verb == "bringhere" || verb == "bring-here") return BringHere{target};
  if (verb == "focus") {
    if (!target) return Focus{1};
    std::string direction = lowered(*target);
    if (direction == "next" || direction == "right" || direction == "+1") return Focus{1};
    if (direction == "previous" || direction == "prev" || direction == "left" || direction == "-1")
      return Focus{-1};
    return std::nullopt;
  }
  if (verb == "solo") return Solo{};
  return std::nullopt;
}

std::string ZelvornURL::description(const Command& command) {
  struct Describe {
    std::string operator()(const Show& c) const { return "show(target: " + quoted(c.target) + ")"; }
    std::string operator()(const Hide& c) const {
      return "hide(target: " + quotedOrNil(c.target) + ")";
    }
    std::string operator()(const Toggle& c) const {
      return "toggle(target: " + quoted(c.target) + ")";
    }
    std::string operator()(const BringHere& c) const {
      return "bringHere(target: " + quotedOrNil(c.target) + ")";
    }
    std::string operator()(const Focus& c) const {
      return fmt::format("focus(offset: {})", c.offset);
    }
    std::string operator()(const Solo&) const { return "solo"; }
  };
  return std::visit(Describe{}, command);
}

std::optional<std::size_t> ZelvornURL::resolveIndex(std::string_view target,
                                                    const std::vector<std::string_view>& names) {
  std::string_view text = trimmed(target);
  if (text.empty()) return std::nullopt;
  icu::UnicodeString wanted = folded(text);
  for (std::size_t i = 0; i < names.size(); ++i)
    if (folded(names[i]) == wanted) return i;
  auto number = decimalInteger(text);
  if (number && *number >= 1 && static_cast<unsigned long long>(*number) <= names.size())
    return static_cast<std::size_t>(*number - 1);
  return std::nullopt;
}

}  // namespace zelvorn
