#include "ZipWriter.h"

#include <array>
#include <cstdint>

namespace {

uint32_t crc32(const QByteArray &data)
{
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t c = 0xFFFFFFFFu;
    for (const char ch : data)
        c = table[(c ^ static_cast<uint8_t>(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put16(QByteArray &out, uint32_t v)
{
    out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}

void put32(QByteArray &out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

} // namespace

QByteArray writeZip(const std::vector<ZipEntry> &entries)
{
    constexpr uint32_t dosDate = (46u << 9) | (12u << 5) | 9u; // 2026-12-09, 00:00
    QByteArray out, central;
    for (const ZipEntry &e : entries) {
        // qCompress gives a 4-byte length, a 2-byte zlib header, the raw
        // deflate stream and a 4-byte checksum; zip stores the raw stream.
        const QByteArray z = qCompress(e.data, 9);
        const QByteArray deflated = z.mid(6, z.size() - 10);
        const uint32_t crc = crc32(e.data);
        const auto offset = uint32_t(out.size());
        auto common = [&](QByteArray &to) {
            put16(to, 20); // version needed
            put16(to, 0);  // flags
            put16(to, 8);  // deflate
            put16(to, 0);  // time
            put16(to, dosDate);
            put32(to, crc);
            put32(to, uint32_t(deflated.size()));
            put32(to, uint32_t(e.data.size()));
            put16(to, uint32_t(e.name.size()));
            put16(to, 0); // extra field
        };
        put32(out, 0x04034b50);
        common(out);
        out.append(e.name).append(deflated);

        put32(central, 0x02014b50);
        put16(central, 20); // made by
        common(central);
        put16(central, 0); // comment
        put16(central, 0); // disk
        put16(central, 0); // internal attributes
        put32(central, 0); // external attributes
        put32(central, offset);
        central.append(e.name);
    }
    const auto centralAt = uint32_t(out.size());
    out.append(central);
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, uint32_t(entries.size()));
    put16(out, uint32_t(entries.size()));
    put32(out, uint32_t(central.size()));
    put32(out, centralAt);
    put16(out, 0);
    return out;
}
