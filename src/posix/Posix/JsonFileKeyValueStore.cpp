#include "Posix/JsonFileKeyValueStore.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

namespace zelvorn {

namespace {

using json = nlohmann::json;
using Values = std::map<std::string, StoreValue, std::less<>>;

constexpr int kFormat = 1;
constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(const Bytes& bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    std::uint32_t n = static_cast<std::uint32_t>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<std::uint32_t>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= bytes[i + 2];
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
  }
  return out;
}

std::optional<Bytes> unbase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  Bytes out;
  out.reserve(text.size() / 4 * 3);
  for (std::size_t i = 0; i < text.size(); i += 4) {
    std::uint32_t n = 0;
    int padding = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      char c = text[i + k];
      std::uint32_t v = 0;
      if (c == '=') {
        // Padding only at the very end, and at most two.
        if (i + 4 != text.size() || k < 2) return std::nullopt;
        ++padding;
      } else {
        if (padding > 0) return std::nullopt;
        auto at = kAlphabet.find(c);
        if (at == std::string_view::npos) return std::nullopt;
        v = static_cast<std::uint32_t>(at);
      }
      n = (n << 6) | v;
    }
    out.push_back(static_cast<std::uint8_t>(n >> 16));
    if (padding < 2) out.push_back(static_cast<std::uint8_t>(n >> 8));
    if (padding < 1) out.push_back(static_cast<std::uint8_t>(n));
  }
  return out;
}

// JSON has no NaN or infinity; those are written as words.
json doubleToJson(double d) {
  if (std::isnan(d)) return "nan";
  if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
  return d;
}

std::optional<double> doubleFromJson(const json& j) {
  if (j.is_number()) return j.get<double>();
  if (!j.is_string()) return std::nullopt;
  const auto& s = j.get_ref<const std::string&>();
  if (s == "nan") return std::numeric_limits<double>::quiet_NaN();
  if (s == "inf") return std::numeric_limits<double>::infinity();
  if (s == "-inf") return -std::numeric_limits<double>::infinity();
  return std::nullopt;
}

json valueToJson(const StoreValue& value) {
  struct Visit {
    json operator()(bool b) const { return {{"bool", b}}; }
    json operator()(std::int64_t i) const { return {{"int", i}}; }
    json operator()(double d) const { return {{"double", doubleToJson(d)}}; }
    json operator()(const std::string& s) const { return {{"string", s}}; }
    json operator()(const std::vector<std::string>& list) const { return {{"strings", list}}; }
    json operator()(const Bytes& bytes) const { return {{"bytes", base64(bytes)}}; }
    json operator()(WallTime t) const { return {{"date", doubleToJson(t.unixSeconds)}}; }
  };
  return std::visit(Visit{}, value);
}

std::optional<StoreValue> valueFromJson(const json& j) {
  if (!j.is_object() || j.size() != 1) return std::nullopt;
  auto only = j.begin();
  const std::string& type = only.key();
  const json& v = only.value();
  if (type == "bool" && v.is_boolean()) return StoreValue(v.get<bool>());
  if (type == "int") {
    if (v.is_number_integer() && !v.is_number_unsigned()) return StoreValue(v.get<std::int64_t>());
    if (v.is_number_unsigned() && v.get<std::uint64_t>() <= static_cast<std::uint64_t>(INT64_MAX))
      return StoreValue(static_cast<std::int64_t>(v.get<std::uint64_t>()));
    return std::nullopt;
  }
  if (type == "double") {
    if (auto d = doubleFromJson(v)) return StoreValue(*d);
    return std::nullopt;
  }
  if (type == "string" && v.is_string()) return StoreValue(v.get<std::string>());
  if (type == "strings" && v.is_array()) {
    std::vector<std::string> list;
    for (const auto& item : v) {
      if (!item.is_string()) return std::nullopt;
      list.push_back(item.get<std::string>());
    }
    return StoreValue(std::move(list));
  }
  if (type == "bytes" && v.is_string()) {
    if (auto bytes = unbase64(v.get_ref<const std::string&>()))
      return StoreValue(std::move(*bytes));
    return std::nullopt;
  }
  if (type == "date") {
    if (auto d = doubleFromJson(v)) return StoreValue(WallTime{*d});
    return std::nullopt;
  }
  return std::nullopt;
}

std::string utcStamp() {
  auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm utc{};
  gmtime_r(&now, &utc);
  return fmt::format("{:04}{:02}{:02}T{:02}{:02}{:02}Z", utc.tm_year + 1900, utc.tm_mon + 1,
                     utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
}

}  // namespace

JsonFileKeyValueStore::JsonFileKeyValueStore(IFileSystem& fileSystem, std::string path,
                                             ProblemHandler onProblem)
    : fileSystem_(fileSystem), path_(std::move(path)), onProblem_(std::move(onProblem)) {
  load();
}

std::string JsonFileKeyValueStore::encode(const Values& values) {
  json entries = json::object();
  for (const auto& [key, value] : values)
    entries[key] = valueToJson(value);
  json root = {{"format", kFormat}, {"values", std::move(entries)}};
  // Text that is not UTF-8 cannot be written as JSON; it is stored with replacement characters
  // rather than failing the whole save.
  return root.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

std::optional<Values> JsonFileKeyValueStore::decode(std::string_view text) {
  json root = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!root.is_object()) return std::nullopt;
  auto format = root.find("format");
  auto entries = root.find("values");
  if (format == root.end() || !format->is_number_integer() || format->get<int>() != kFormat)
    return std::nullopt;
  if (entries == root.end() || !entries->is_object()) return std::nullopt;
  Values values;
  for (const auto& [key, entry] : entries->items()) {
    auto value = valueFromJson(entry);
    if (!value) return std::nullopt;
    values.emplace(key, std::move(*value));
  }
  return values;
}

void JsonFileKeyValueStore::load() {
  if (!fileSystem_.stat(path_).exists) return;
  auto bytes = fileSystem_.readFile(path_);
  std::string why;
  if (bytes) {
    const auto& b = bytes.value();
    if (auto values = decode(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()))) {
      values_ = std::move(*values);
      return;
    }
    why = "not a settings file this version understands";
  } else {
    why = bytes.error().description;
  }
  std::string aside = path_ + ".unreadable-" + utcStamp();
  for (int n = 2; fileSystem_.stat(aside).exists; ++n)
    aside = path_ + ".unreadable-" + utcStamp() + "-" + std::to_string(n);
  if (auto moved = fileSystem_.moveFile(path_, aside); !moved) {
    mayWrite_ = false;
    report(fmt::format(
        "[Zelvorn] Settings file {} is unreadable ({}) and could not be set aside ({}); starting "
        "with defaults and leaving it untouched.",
        path_, why, moved.error().description));
    return;
  }
  setAsidePath_ = aside;
  report(
      fmt::format("[Zelvorn] Settings file {} was unreadable ({}); kept it as {} and started "
                  "with defaults.",
                  path_, why, aside));
}

std::optional<StoreValue> JsonFileKeyValueStore::get(std::string_view key) const {
  auto it = values_.find(key);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void JsonFileKeyValueStore::set(std::string_view key, StoreValue value) {
  auto it = values_.find(key);
  if (it != values_.end() && it->second == value) return;
  values_.insert_or_assign(std::string(key), std::move(value));
  save();
}

void JsonFileKeyValueStore::remove(std::string_view key) {
  auto it = values_.find(key);
  if (it == values_.end()) return;
  values_.erase(it);
  save();
}

void JsonFileKeyValueStore::save() {
  if (!mayWrite_) return;
  auto slash = path_.rfind('/');
  if (slash != std::string::npos && slash > 0) {
    if (auto made = fileSystem_.createDirectories(path_.substr(0, slash)); !made) {
      report("[Zelvorn] Failed to save settings: " + made.error().description);
      return;
    }
  }
  if (auto written = fileSystem_.writeFileAtomically(path_, encode(values_)); !written)
    report("[Zelvorn] Failed to save settings: " + written.error().description);
}

void JsonFileKeyValueStore::report(const std::string& sentence) const {
  if (onProblem_) onProblem_(sentence);
}

}  // namespace zelvorn
