#include "GifWriter.h"

#include <QFile>
#include <QVector>

namespace {
struct BitWriter
{
    QByteArray bytes;
    quint32 acc = 0;
    int bits = 0;
    void put(int code, int width)
    {
        acc |= static_cast<quint32>(code) << bits;
        bits += width;
        while (bits >= 8) {
            bytes.append(static_cast<char>(acc & 0xff));
            acc >>= 8;
            bits -= 8;
        }
    }
    void flush()
    {
        if (bits > 0)
            bytes.append(static_cast<char>(acc & 0xff));
        acc = 0;
        bits = 0;
    }
};

void put16(QByteArray &out, int v)
{
    out.append(static_cast<char>(v & 0xff));
    out.append(static_cast<char>((v >> 8) & 0xff));
}
} // namespace

bool writeGif(const QImage &source, const QString &fileName)
{
    if (source.isNull() || source.width() > 0xffff || source.height() > 0xffff)
        return false;
    // 8-bit palette image, at most 256 colours.
    QImage img = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    QVector<QRgb> table = img.colorTable();
    const int minCodeSize = 8;
    table.resize(256);

    QByteArray out("GIF89a");
    put16(out, img.width());
    put16(out, img.height());
    out.append(static_cast<char>(0xF7)); // global table, 8 bits per colour, 256 entries
    out.append('\0');
    out.append('\0');
    for (QRgb c : table) {
        out.append(static_cast<char>(qRed(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qBlue(c)));
    }
    out.append(',');
    put16(out, 0);
    put16(out, 0);
    put16(out, img.width());
    put16(out, img.height());
    out.append('\0');
    out.append(static_cast<char>(minCodeSize));

    // Literal codes only, with a clear code before the table would widen the codes:
    // valid LZW that every decoder reads, at the cost of no compression.
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    const int width = minCodeSize + 1;
    BitWriter bw;
    bw.put(clear, width);
    int sinceClear = 0;
    for (int y = 0; y < img.height(); ++y) {
        const uchar *line = img.constScanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            if (sinceClear == (1 << width) - clear - 3) {
                bw.put(clear, width);
                sinceClear = 0;
            }
            bw.put(line[x], width);
            ++sinceClear;
        }
    }
    bw.put(end, width);
    bw.flush();
    for (int i = 0; i < bw.bytes.size(); i += 255) {
        const QByteArray block = bw.bytes.mid(i, 255);
        out.append(static_cast<char>(block.size()));
        out.append(block);
    }
    out.append('\0');
    out.append(';');

    QFile f(fileName);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}
