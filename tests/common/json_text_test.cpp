#include "common/json_text.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

// What the JSON library writes for the same text, or nothing when it refuses it.
bool LibraryDump(const std::string& text, std::string* out) {
  try {
    *out = nlohmann::json(text).dump();
    return true;
  } catch (const nlohmann::json::exception&) {
    return false;
  }
}

TEST(JsonText, EveryTextIsWrittenOrRefusedAsTheJsonLibraryDoes) {
  std::vector<std::string> texts = {
      "", "plain", "quote\" backslash\\ slash/", "\x7F", "\xC2\x80", "\xDF\xBF", "\xE0\xA0\x80", "\xED\x9F\xBF",
      "\xEE\x80\x80", "\xEF\xBF\xBF", "\xF0\x90\x80\x80", "\xF4\x8F\xBF\xBF", "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80",
      // Refused: overlong forms, surrogates, beyond U+10FFFF, stray or missing continuation bytes.
      "\xC0\x80", "\xC1\xBF", "\xE0\x9F\xBF", "\xED\xA0\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
      "\xFF", "\x80", "a\xBF", "\xE4\xB8", "\xE4\xB8x", "\xF0\x9F\x98", "\xC3\x28"};
  // Every ASCII byte, controls included, alone and inside a text.
  for (int c = 0; c < 0x80; ++c) {
    texts.push_back(std::string(1, static_cast<char>(c)));
    texts.push_back("a" + std::string(1, static_cast<char>(c)) + "b");
  }
  for (const std::string& text : texts) {
    SCOPED_TRACE(testing::PrintToString(text));
    std::string expected;
    const bool written = LibraryDump(text, &expected);
    EXPECT_EQ(json_text::IsValidUtf8(text), written);
    if (!written) continue;
    std::string out = "x";
    json_text::AppendString(text, &out);
    EXPECT_EQ(out, "x" + expected);
  }
}

TEST(JsonText, FieldObjectIsTheLibrarysCompactObject) {
  using Fields = std::map<std::string, std::string>;
  const Fields cases[] = {
      {},
      {{"empty", ""}},
      {{"f", "text"}, {"a", "true"}, {"b", "false"}, {"c", "True"}, {"d", "1"}, {"e", ""}, {"", "no key"},
       {"k\"ey\n", "v\x01\x1F"}, {"g", "\xE4\xB8\xAD"}},
  };
  for (const Fields& fields : cases) {
    nlohmann::json object = nlohmann::json::object();
    for (const auto& [key, value] : fields) {
      if (value.empty()) continue;
      if (value == "true" || value == "false") {
        object[key] = value == "true";
      } else {
        object[key] = value;
      }
    }
    std::string out;
    ASSERT_TRUE(json_text::WriteFieldObject(fields, &out));
    EXPECT_EQ(out, object.dump());
  }
  // A text the library would refuse leaves the output alone.
  std::string out = "kept";
  EXPECT_FALSE(json_text::WriteFieldObject({{"a", "b"}, {"bad", "\xC3\x28"}}, &out));
  EXPECT_FALSE(json_text::WriteFieldObject({{"\xFF", "b"}}, &out));
  EXPECT_EQ(out, "kept");
}

}  // namespace
