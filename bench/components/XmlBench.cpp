// Positional queries on a 1,000-item document: the XML document component
// beside the same XPath queries on pugixml directly.
#include "components/xml/XmlDocument.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <string>

namespace {
std::string itemsDocument()
{
    std::string xml = "<root>";
    for (int i = 0; i < 1000; ++i)
        xml += "<item id=\"" + std::to_string(i) + "\"><name>item " + std::to_string(i) + "</name></item>";
    return xml + "</root>";
}

void BM_XmlDocument_PositionalValue(benchmark::State &state)
{
    XmlDocument doc;
    doc.LoadXml(QString::fromStdString(itemsDocument()));
    int i = 0;
    for (auto _ : state) {
        const QVariant v = doc.GetValue(QStringLiteral("/root/item[%1]/name").arg(i));
        benchmark::DoNotOptimize(v);
        i = (i + 37) % 1000;
    }
}
BENCHMARK(BM_XmlDocument_PositionalValue);

void BM_Pugixml_PositionalValue(benchmark::State &state)
{
    pugi::xml_document doc;
    const std::string xml = itemsDocument();
    doc.load_buffer(xml.data(), xml.size());
    int i = 0;
    for (auto _ : state) {
        const std::string q = "/root/item[" + std::to_string(i + 1) + "]/name";
        const pugi::xpath_node n = doc.select_node(q.c_str());
        benchmark::DoNotOptimize(n.node().child_value());
        i = (i + 37) % 1000;
    }
}
BENCHMARK(BM_Pugixml_PositionalValue);

void BM_XmlDocument_LoopAllAttributes(benchmark::State &state)
{
    XmlDocument doc;
    doc.LoadXml(QString::fromStdString(itemsDocument()));
    for (auto _ : state) {
        const int n = doc.Count(QStringLiteral("/root/item"));
        for (int i = 1; i <= n; i += 10)
            benchmark::DoNotOptimize(doc.GetAttribute(QStringLiteral("/root/item[%1]").arg(i - 1), QStringLiteral("id")));
    }
}
BENCHMARK(BM_XmlDocument_LoopAllAttributes);

void BM_Pugixml_LoopAllAttributes(benchmark::State &state)
{
    pugi::xml_document doc;
    const std::string xml = itemsDocument();
    doc.load_buffer(xml.data(), xml.size());
    for (auto _ : state) {
        const size_t n = doc.select_nodes("/root/item").size();
        for (size_t i = 1; i <= n; i += 10) {
            const std::string q = "/root/item[" + std::to_string(i) + "]";
            benchmark::DoNotOptimize(doc.select_node(q.c_str()).node().attribute("id").value());
        }
    }
}
BENCHMARK(BM_Pugixml_LoopAllAttributes);
} // namespace
