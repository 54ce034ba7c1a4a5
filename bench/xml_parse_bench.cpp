// XML parse throughput of CXmlMarkup against pugixml on the same UTF-8 skin-like documents, in one
// process. Run on demand: tools/wine-run.sh --headless build/bench/xml_parse_bench.exe [seconds]
#include <windows.h>

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "vellum/core/markup/xml_markup.h"

namespace {

// A skin-like document: a window with fonts, nested layouts and controls carrying many attributes,
// some Chinese texts, entities and comments, repeated until the size is reached.
std::string MakeSkinDocument(size_t target) {
  std::string doc =
      "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"yes\"?>\n"
      "<Window size=\"520,400\" caption=\"0,0,0,36\" roundcorner=\"6,6\" mininfo=\"400,300\" showshadow=\"true\">\n"
      "  <Font id=\"0\" name=\"Microsoft YaHei\" size=\"12\" bold=\"false\" default=\"true\" />\n"
      "  <Font id=\"1\" name=\"Microsoft YaHei\" size=\"14\" bold=\"true\" />\n"
      "  <VerticalLayout bkcolor=\"#FFF5F6F8\" bordersize=\"1\" bordercolor=\"#FFD0D4DA\">\n";
  const std::string tail = "  </VerticalLayout>\n</Window>\n";
  int row = 0;
  while (doc.size() + tail.size() < target) {
    const std::string n = std::to_string(row++);
    std::string block =
        "    <!-- row " + n + " -->\n"
        "    <HorizontalLayout name=\"row" + n + "\" height=\"40\" padding=\"16,8,16,0\" childpadding=\"8\">\n"
        "      <Label name=\"label" + n + "\" text=\"\xE6\x94\xBE\xE5\xA4\xA7\xE5\x80\x8D\xE6\x95\xB0 " + n +
        "\" font=\"0\" textcolor=\"#FF333333\" width=\"120\" align=\"left\" />\n"
        "      <Option name=\"opt" + n + "\" group=\"scale\" text=\"&lt;" + n + "x&gt;\" width=\"60\" "
        "normalimage=\"file='option.png' source='0,0,16,16' dest='0,12,16,28'\" "
        "selectedimage=\"file='option.png' source='16,0,32,16' dest='0,12,16,28'\" selected=\"false\" />\n"
        "      <CheckBox name=\"check" + n + "\" text=\"Start &amp; run\" tooltip=\"&quot;tip&quot;\" "
        "normalimage=\"check.png\" hotimage=\"check_hot.png\" selectedimage=\"check_on.png\" />\n"
        "      <Button name=\"btn" + n + "\" text=\"\xE7\xA1\xAE\xE5\xAE\x9A\" width=\"80\" height=\"28\" "
        "normalimage=\"btn.png\" hotimage=\"btn_hot.png\" pushedimage=\"btn_down.png\" "
        "textcolor=\"#FFFFFFFF\" bkcolor=\"#FF2D7FF9\" />\n"
        "    </HorizontalLayout>\n";
    if (doc.size() + block.size() + tail.size() > target) break;
    doc += block;
  }
  doc += tail;
  return doc;
}

// Best MB/s (10^6 bytes) over batches run for about the given time.
template <typename Parse>
double Throughput(const std::string& doc, double seconds, Parse parse) {
  parse();  // warm up caches and allocators
  double best = 0;
  const LARGE_INTEGER start = bench::Now();
  const int batch = std::max<int>(1, static_cast<int>((1 << 22) / doc.size()));
  do {
    const LARGE_INTEGER a = bench::Now();
    for (int i = 0; i < batch; ++i) parse();
    const LARGE_INTEGER b = bench::Now();
    const double rate = static_cast<double>(doc.size()) * batch / bench::Seconds(a, b) / 1e6;
    best = std::max(best, rate);
  } while (bench::Seconds(start, bench::Now()) < seconds);
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
  std::printf("%-10s %14s %14s %8s\n", "document", "CXmlMarkup", "pugixml", "ratio");
  bool all_ok = true;
  for (size_t size : {size_t{64} << 10, size_t{4} << 20}) {
    const std::string doc = MakeSkinDocument(size);
    const auto* bytes = reinterpret_cast<const BYTE*>(doc.data());

    Vellum::CXmlMarkup check;
    pugi::xml_document pugi_check;
    if (!check.LoadFromMem(bytes, static_cast<DWORD>(doc.size())) ||
        !pugi_check.load_buffer(doc.data(), doc.size(), pugi::parse_default, pugi::encoding_utf8)) {
      std::printf("document of %zu bytes did not parse\n", doc.size());
      return 1;
    }

    const double ours = Throughput(doc, seconds, [&] {
      Vellum::CXmlMarkup xml;
      if (!xml.LoadFromMem(bytes, static_cast<DWORD>(doc.size()))) all_ok = false;
    });
    const double theirs = Throughput(doc, seconds, [&] {
      pugi::xml_document xml;
      if (!xml.load_buffer(doc.data(), doc.size(), pugi::parse_default, pugi::encoding_utf8)) all_ok = false;
    });
    std::printf("%6zu KiB %9.1f MB/s %9.1f MB/s %8.2f\n", doc.size() >> 10, ours, theirs, ours / theirs);
  }
  return all_ok ? 0 : 1;
}
