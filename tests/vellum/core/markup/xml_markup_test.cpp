#include "vellum/core/markup/xml_markup.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/guarded_bytes.h"
#include "tests/support/test_support.h"

using Vellum::CXmlMarkup;
using Vellum::CXmlMarkupNode;
using testing_support::GuardedBytes;

namespace {

const char kSkin[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!-- settings window -->\n"
    "<Window size=\"420,300\" caption=\"0,0,0,32\" roundcorner=\"4,4\">\n"
    "  <Font id=\"0\" name=\"Microsoft YaHei\" size=\"12\" default=\"true\"/>\n"
    "  <VerticalLayout bkcolor=\"#FFFFFFFF\">\n"
    "    <Label name=\"title\" text=\"Lumavex &amp; friends\" textcolor=\"#FF333333\"/>\n"
    "    <Option name=\"switch\" group=\"g\" selected=\"true\">text &lt;ignored&gt;</Option>\n"
    "    <Button name=\"close\" tooltip=\"&quot;Close&quot;\" />\n"
    "  </VerticalLayout>\n"
    "</Window>\n";

std::vector<std::wstring> ChildNames(CXmlMarkupNode node) {
  std::vector<std::wstring> names;
  for (CXmlMarkupNode child = node.GetChild(); child.IsValid(); child = child.GetSibling()) names.push_back(child.GetName());
  return names;
}

std::wstring Attribute(CXmlMarkupNode node, const wchar_t* name) {
  wchar_t buffer[256] = {};
  if (!node.GetAttributeValue(name, buffer, 256)) return L"<missing>";
  return buffer;
}

// Visits every node and attribute, so that a broken record shows up as a crash or a wrong count.
size_t WalkAll(CXmlMarkupNode node, size_t depth = 0) {
  size_t count = 0;
  for (; node.IsValid(); node = node.GetSibling()) {
    ++count;
    EXPECT_NE(nullptr, node.GetName());
    for (int i = 0; i < node.GetAttributeCount(); ++i) {
      EXPECT_NE(nullptr, node.GetAttributeName(i));
      EXPECT_NE(nullptr, node.GetAttributeValue(i));
    }
    if (node.HasChildren() && depth < 64) count += WalkAll(node.GetChild(), depth + 1);
  }
  return count;
}

bool LoadUtf8(CXmlMarkup& xml, const std::string& bytes, int encoding = Vellum::XMLFILE_ENCODING_UTF8) {
  return xml.LoadFromMem(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), encoding);
}

}  // namespace

TEST(XmlMarkup, ParsesASkinDocumentIntoElementsAndAttributes) {
  CXmlMarkup xml;
  ASSERT_TRUE(LoadUtf8(xml, kSkin)) << xml.GetLastErrorMessage();
  EXPECT_STREQ(L"", xml.GetLastErrorMessage());
  CXmlMarkupNode root = xml.GetRoot();
  ASSERT_TRUE(root.IsValid());
  EXPECT_STREQ(L"Window", root.GetName());
  EXPECT_FALSE(root.GetSibling().IsValid());
  EXPECT_EQ((std::vector<std::wstring>{L"Font", L"VerticalLayout"}), ChildNames(root));
  ASSERT_EQ(3, root.GetAttributeCount());
  EXPECT_STREQ(L"size", root.GetAttributeName(0));
  EXPECT_STREQ(L"420,300", root.GetAttributeValue(0));
  EXPECT_STREQ(L"roundcorner", root.GetAttributeName(2));
  EXPECT_STREQ(L"", root.GetAttributeName(3));
  EXPECT_STREQ(L"", root.GetAttributeValue(-1));

  CXmlMarkupNode layout = root.GetChild().GetSibling();
  EXPECT_EQ((std::vector<std::wstring>{L"Label", L"Option", L"Button"}), ChildNames(layout));
  CXmlMarkupNode label = layout.GetChild();
  EXPECT_FALSE(label.HasChildren());
  EXPECT_EQ(L"Lumavex & friends", Attribute(label, L"TEXT"));
  EXPECT_EQ(L"#FF333333", Attribute(label, L"textcolor"));
  CXmlMarkupNode option = label.GetSibling();
  EXPECT_STREQ(L"Option", option.GetName());
  EXPECT_EQ(L"true", Attribute(option, L"selected"));
  CXmlMarkupNode button = option.GetSibling();
  EXPECT_EQ(L"\"Close\"", Attribute(button, L"tooltip"));
  EXPECT_EQ(L"<missing>", Attribute(button, L"text"));
  EXPECT_EQ(6u, WalkAll(root));  // Window, Font, VerticalLayout, Label, Option, Button: the comments are no nodes
}

TEST(XmlMarkup, DecodesEntitiesInOnePassToExactlyTheDecodedText) {
  struct Case {
    const char* value;
    const wchar_t* decoded;
  };
  const Case cases[] = {
      {"a&amp;b", L"a&b"},
      {"&amp;lt;", L"&lt;"},
      {"&lt;&gt;&quot;&apos;&amp;", L"<>\"'&"},
      {"lone & stays", L"lone & stays"},
      {"&unknown; &amp &ampx", L"&unknown; &amp &ampx"},
      {"&", L"&"},
      {"", L""},
      {"  spaced  out  ", L"  spaced  out  "},
  };
  for (const Case& c : cases) {
    CXmlMarkup xml;
    const std::string doc = std::string("<e first=\"") + c.value + "\" second=\"2\" third = \"&lt;3\"/>";
    ASSERT_TRUE(LoadUtf8(xml, doc)) << doc;
    CXmlMarkupNode e = xml.GetRoot();
    ASSERT_EQ(3, e.GetAttributeCount()) << doc;
    EXPECT_STREQ(c.decoded, e.GetAttributeValue(0)) << doc;
    EXPECT_EQ(wcslen(c.decoded), wcslen(e.GetAttributeValue(0))) << doc;
    EXPECT_STREQ(L"second", e.GetAttributeName(1)) << doc;
    EXPECT_STREQ(L"2", e.GetAttributeValue(1)) << doc;
    EXPECT_STREQ(L"third", e.GetAttributeName(2)) << doc;
    EXPECT_STREQ(L"<3", e.GetAttributeValue(2)) << doc;
  }
}

TEST(XmlMarkup, MapsEveryAttributeTheParserAccepted) {
  using Pairs = std::vector<std::pair<std::wstring, std::wstring>>;
  struct Case {
    const wchar_t* doc;
    Pairs attributes;
  };
  const Case cases[] = {
      {L"<e/>", {}},
      {L"<e  />", {}},
      {L"<e >x</e>", {}},
      {L"<e></e>", {}},
      {L"<e b = \"1\"  c=\"2\" >", {{L"b", L"1"}, {L"c", L"2"}}},
      {L"<e b=\"1\"c=\"\"/>", {{L"b", L"1"}, {L"c", L""}}},
      {L"<e =\"1\" b=\"2\"/>", {{L"", L"1"}, {L"b", L"2"}}},
      {L"<e b=\"&gt;\" =\"&amp;\"></e>", {{L"b", L">"}, {L"", L"&"}}},
  };
  for (const Case& c : cases) {
    CXmlMarkup xml;
    ASSERT_TRUE(xml.Load(c.doc)) << testing::PrintToString(std::wstring(c.doc));
    CXmlMarkupNode e = xml.GetRoot();
    Pairs found;
    for (int i = 0; i < e.GetAttributeCount(); ++i) found.emplace_back(e.GetAttributeName(i), e.GetAttributeValue(i));
    EXPECT_EQ(c.attributes, found) << testing::PrintToString(std::wstring(c.doc));
    EXPECT_STREQ(L"e", e.GetName());
  }
}

TEST(XmlMarkup, ReportsEachSyntaxErrorAndReleasesTheDocument) {
  struct Case {
    const char* doc;
    const wchar_t* message;  // null: loads
    const wchar_t* location;
  };
  const Case cases[] = {
      {"<a b='1'/>", L"Expected attribute value", L"'1'/>"},
      {"text before <a/>", L"Expected start tag", L"text before <a/>"},
      {"<r><a><b/>", L"Expected start tag", L""},
      {"<a", L"Error parsing element name", L""},
      {"<a b>", L"Error while parsing attributes", L">"},
      {"<a b c=\"1\">", L"Error while parsing attributes", L"c=\"1\">"},
      {"<a b=\"1/>", L"Error while parsing attribute string", L""},
      {"<a b=\"1\"/x>", L"Expected start-tag closing", L"/x>"},
      {"<a b=\"1\"", L"Expected start-tag closing", L""},
      {"<r><a><b>text", L"Expected end-tag start", L""},
      {"<a></b>", L"Unmatched closing tag", L"b>"},
      {"<a></a x>", L"Unmatched closing tag", L"x>"},
      {"<a><b></a></b>", L"Unmatched closing tag", L"a></b>"},
      {"<a></abc>", L"Unmatched closing tag", L"bc>"},
      {"<a><b/>", nullptr, nullptr},
      {"<root><item>open text", nullptr, nullptr},
      {"<a/></stray>", nullptr, nullptr},
      {"<a></a  >", nullptr, nullptr},
      {"<!-- only a comment -->", nullptr, nullptr},
      {"<a/><!-- unterminated", nullptr, nullptr},
      {"<? unterminated", nullptr, nullptr},
      {"", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    CXmlMarkup xml;
    const bool loaded = xml.Load(std::wstring(c.doc, c.doc + strlen(c.doc)).c_str());
    if (c.message == nullptr) {
      EXPECT_TRUE(loaded) << c.doc << ": " << testing::PrintToString(std::wstring(xml.GetLastErrorMessage()));
      continue;
    }
    EXPECT_FALSE(loaded) << c.doc;
    EXPECT_STREQ(c.message, xml.GetLastErrorMessage()) << c.doc;
    EXPECT_STREQ(c.location, xml.GetLastErrorLocation()) << c.doc;
    EXPECT_FALSE(xml.GetRoot().IsValid()) << c.doc;
  }
}

TEST(XmlMarkup, UnclosedTopLevelElementsKeepTheirNames) {
  CXmlMarkup xml;
  ASSERT_TRUE(xml.Load(L"<root><item a=\"1\"/><last>text"));
  CXmlMarkupNode root = xml.GetRoot();
  EXPECT_STREQ(L"root", root.GetName());
  EXPECT_EQ((std::vector<std::wstring>{L"item", L"last"}), ChildNames(root));
  EXPECT_EQ(L"1", Attribute(root.GetChild(), L"a"));
  EXPECT_FALSE(root.HasAttributes());
  EXPECT_FALSE(CXmlMarkup().GetRoot().IsValid());
}

TEST(XmlMarkup, ExposesTheFirstSixtyFourAttributes) {
  std::wstring doc = L"<e";
  for (int i = 0; i < 70; ++i) doc += L" a" + std::to_wstring(i) + L"=\"v" + std::to_wstring(i) + L"\"";
  doc += L"><child/></e>";
  CXmlMarkup xml;
  ASSERT_TRUE(xml.Load(doc.c_str()));
  CXmlMarkupNode e = xml.GetRoot();
  ASSERT_EQ(64, e.GetAttributeCount());
  EXPECT_STREQ(L"a63", e.GetAttributeName(63));
  EXPECT_STREQ(L"v63", e.GetAttributeValue(63));
  EXPECT_EQ(L"<missing>", Attribute(e, L"a64"));
  EXPECT_STREQ(L"child", e.GetChild().GetName());
}

TEST(XmlMarkup, AttributeValueCopiesAreCutAndAlwaysTerminated) {
  const std::wstring long_value(600, L'v');
  CXmlMarkup xml;
  ASSERT_TRUE(xml.Load((L"<e Source=\"" + long_value + L"\" short=\"abc\"/>").c_str()));
  CXmlMarkupNode e = xml.GetRoot();
  std::vector<wchar_t> buffer(700, L'#');
  ASSERT_TRUE(e.GetAttributeValue(L"source", buffer.data(), 499));
  EXPECT_EQ(498u, wcslen(buffer.data()));  // at most 499 characters written, terminator included
  EXPECT_EQ(L'#', buffer[499]);
  ASSERT_TRUE(e.GetAttributeValue(L"SHORT", buffer.data(), 4));
  EXPECT_STREQ(L"abc", buffer.data());
  ASSERT_TRUE(e.GetAttributeValue(L"short", buffer.data(), 3));
  EXPECT_STREQ(L"ab", buffer.data());
  EXPECT_FALSE(e.GetAttributeValue(L"short", buffer.data(), 0));
  EXPECT_FALSE(e.GetAttributeValue(L"missing", buffer.data(), 10));
  EXPECT_FALSE(CXmlMarkupNode().GetAttributeValue(L"short", buffer.data(), 10));
  EXPECT_EQ(nullptr, CXmlMarkupNode().GetAttributeValue(0));
  EXPECT_EQ(nullptr, CXmlMarkupNode().GetName());
  EXPECT_EQ(0, CXmlMarkupNode().GetAttributeCount());
}

TEST(XmlMarkup, DeepNestingNeedsNoStack) {
  const int depth = 300000;
  std::wstring doc;
  for (int i = 0; i < depth; ++i) doc += L"<a>";
  const std::wstring unclosed = doc;
  for (int i = 0; i < depth; ++i) doc += L"</a>";
  CXmlMarkup xml;
  ASSERT_TRUE(xml.Load(doc.c_str())) << xml.GetLastErrorMessage();
  int levels = 0;
  for (CXmlMarkupNode node = xml.GetRoot(); node.IsValid(); node = node.GetChild()) ++levels;
  EXPECT_EQ(depth, levels);
  EXPECT_FALSE(xml.Load(unclosed.c_str()));
  EXPECT_STREQ(L"Expected end-tag start", xml.GetLastErrorMessage());
}

TEST(XmlMarkup, DecodesTheThreeEncodings) {
  const std::string utf8 = "<e t=\"caf\xC3\xA9 \xE4\xB8\xAD\"/>";
  const std::wstring expected = L"caf\x00E9 \x4E2D";
  auto value_of = [](CXmlMarkup& xml) { return std::wstring(xml.GetRoot().GetAttributeValue(0)); };

  CXmlMarkup xml;
  ASSERT_TRUE(LoadUtf8(xml, utf8));
  EXPECT_EQ(expected, value_of(xml));
  ASSERT_TRUE(LoadUtf8(xml, "\xEF\xBB\xBF" + utf8));
  EXPECT_EQ(expected, value_of(xml));

  const std::wstring wide = L"<e t=\"" + expected + L"\"/>";
  std::string le = "\xFF\xFE", be = "\xFE\xFF", bare;
  for (wchar_t c : wide) {
    le += static_cast<char>(c & 0xFF);
    le += static_cast<char>(c >> 8);
    be += static_cast<char>(c >> 8);
    be += static_cast<char>(c & 0xFF);
  }
  bare = le.substr(2);
  ASSERT_TRUE(LoadUtf8(xml, le, Vellum::XMLFILE_ENCODING_UNICODE));
  EXPECT_EQ(expected, value_of(xml));
  ASSERT_TRUE(LoadUtf8(xml, be + "x", Vellum::XMLFILE_ENCODING_UNICODE));  // an odd trailing byte is dropped
  EXPECT_EQ(expected, value_of(xml));
  EXPECT_FALSE(LoadUtf8(xml, bare, Vellum::XMLFILE_ENCODING_UNICODE));
  EXPECT_FALSE(LoadUtf8(xml, "\xFF", Vellum::XMLFILE_ENCODING_UNICODE));

  // The system code page: compare with the system's own conversion of the same byte.
  wchar_t acp_char = 0;
  ASSERT_EQ(1, MultiByteToWideChar(CP_ACP, 0, "\xE9", 1, &acp_char, 1));
  ASSERT_TRUE(LoadUtf8(xml, "<e t=\"\xE9\"/>", Vellum::XMLFILE_ENCODING_ANSI));
  EXPECT_EQ(std::wstring(1, acp_char), value_of(xml));

  // Invalid UTF-8 decodes to replacement characters and the document still loads.
  ASSERT_TRUE(LoadUtf8(xml, "<e t=\"a\xC3\x28\xFF\"/>"));
  EXPECT_EQ(L"a\xFFFD(\xFFFD", value_of(xml));
  EXPECT_FALSE(LoadUtf8(xml, ""));
  EXPECT_FALSE(LoadUtf8(xml, "<e/>", 7));
}

TEST(XmlMarkup, LoadsFilesUpToFourMebibytes) {
  testing_support::TempDir dir;
  auto padded = [](size_t size) {
    std::string doc = "<e a=\"1\">";
    doc += std::string(size - doc.size() - 4, ' ');
    return doc + "</e>";
  };
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File(L"exact.xml"), padded(0x400000)));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File(L"over.xml"), padded(0x400001)));
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File(L"empty.xml"), ""));
  CXmlMarkup xml;
  EXPECT_TRUE(xml.LoadFromFile(dir.File(L"exact.xml").c_str())) << xml.GetLastErrorMessage();
  EXPECT_STREQ(L"e", xml.GetRoot().GetName());
  struct Case {
    std::wstring name;
    const wchar_t* message;
  };
  const Case failures[] = {
      {dir.File(L"over.xml"), L"File too large"},
      {dir.File(L"empty.xml"), L"File is empty"},
      {dir.File(L"missing.xml"), L"Error opening file"},
  };
  for (const Case& c : failures) {
    EXPECT_FALSE(xml.LoadFromFile(c.name.c_str()));
    EXPECT_STREQ(c.message, xml.GetLastErrorMessage());
    EXPECT_STREQ(L"", xml.GetLastErrorLocation());
    EXPECT_FALSE(xml.GetRoot().IsValid());
  }
}

namespace {

class FakeSource : public Vellum::IXmlFileSource {
 public:
  Vellum::CUIString GetResourcePath() override { return folder.c_str(); }
  bool UsesResourceZip() override { return zip; }
  ZipStatus ReadZipEntry(const wchar_t* entry_name, DWORD max_size, DWORD* size, std::vector<BYTE>* bytes) override {
    requested.push_back(entry_name);
    *size = declared_size;
    if (status == kZipOk && declared_size > 0 && declared_size <= max_size) bytes->assign(content.begin(), content.end());
    return status;
  }

  std::wstring folder;
  bool zip = true;
  ZipStatus status = kZipOk;
  DWORD declared_size = 0;
  std::string content;
  std::vector<std::wstring> requested;
};

class XmlMarkupSource : public testing::Test {
 protected:
  void SetUp() override { previous_ = Vellum::SetXmlFileSource(&source_); }
  void TearDown() override { Vellum::SetXmlFileSource(previous_); }
  FakeSource source_;
  Vellum::IXmlFileSource* previous_ = nullptr;
};

}  // namespace

TEST_F(XmlMarkupSource, ReadsFromTheResourceFolder) {
  testing_support::TempDir dir;
  ASSERT_TRUE(testing_support::WriteFileBytes(dir.File(L"main.xml"), "<Window/>"));
  source_.zip = false;
  source_.folder = dir.path() + L"\\";
  CXmlMarkup xml;
  ASSERT_TRUE(xml.LoadFromFile(L"main.xml"));
  EXPECT_STREQ(L"Window", xml.GetRoot().GetName());
  EXPECT_TRUE(source_.requested.empty());
}

TEST_F(XmlMarkupSource, ReadsZipEntriesWithForwardSlashesAndReportsEachFailure) {
  const std::string doc = "<Window/>";
  struct Case {
    Vellum::IXmlFileSource::ZipStatus status;
    DWORD declared_size;
    const wchar_t* message;  // null: loads
  };
  using S = Vellum::IXmlFileSource;
  const Case cases[] = {
      {S::kZipOk, static_cast<DWORD>(doc.size()), nullptr},
      {S::kZipNoArchive, 0, L"Error opening zip file"},
      {S::kZipNotFound, 0, L"Could not find ziped file"},
      {S::kZipOk, 0, L"File is empty"},
      {S::kZipOk, 0x400001, L"File too large"},
      {S::kZipUnzipFailed, 0x400001, L"File too large"},
      {S::kZipUnzipFailed, static_cast<DWORD>(doc.size()), L"Could not unzip file"},
      {S::kZipOk, 0x400000, L"Could not unzip file"},  // a reader that delivered fewer bytes than declared
  };
  for (const Case& c : cases) {
    source_.status = c.status;
    source_.declared_size = c.declared_size;
    source_.content = doc;
    CXmlMarkup xml;
    const bool loaded = xml.LoadFromFile(L"skin\\Main.XML");
    EXPECT_EQ(L"skin/Main.XML", source_.requested.back());
    if (c.message == nullptr) {
      EXPECT_TRUE(loaded);
      EXPECT_STREQ(L"Window", xml.GetRoot().GetName());
    } else {
      EXPECT_FALSE(loaded);
      EXPECT_STREQ(c.message, xml.GetLastErrorMessage());
    }
  }
}

TEST(XmlMarkupMutation, MutatedSkinDocumentsNeverBreakTheParser) {
  std::mt19937 random(20261210);
  const std::string base = kSkin;
  const char specials[] = {'<', '>', '"', '\'', '&', ';', '/', '=', ' ', '!', '?', '-', '\0', '\xC3', '\xFF'};
  int loaded = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string doc = base;
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits && !doc.empty(); ++e) {
      const size_t at = random() % doc.size();
      switch (random() % 4) {
        case 0:
          doc[at] = specials[random() % sizeof(specials)];
          break;
        case 1:
          doc[at] = static_cast<char>(random());
          break;
        case 2:
          doc.erase(at, 1 + random() % 8);
          break;
        default:
          doc.insert(at, 1, specials[random() % sizeof(specials)]);
          break;
      }
    }
    // The document ends at a guard page, so any read past its end faults at once.
    const GuardedBytes guarded(doc);
    ASSERT_NE(guarded.data(), nullptr);
    CXmlMarkup xml;
    const int encoding = round % 10 == 9 ? Vellum::XMLFILE_ENCODING_UNICODE : Vellum::XMLFILE_ENCODING_UTF8;
    if (xml.LoadFromMem(guarded.data(), static_cast<DWORD>(guarded.size()), encoding)) {
      ++loaded;
      WalkAll(xml.GetRoot());
    } else {
      EXPECT_LT(wcslen(xml.GetLastErrorMessage()), 100u);
      EXPECT_LT(wcslen(xml.GetLastErrorLocation()), 50u);
    }
  }
  EXPECT_GT(loaded, 0);
}
