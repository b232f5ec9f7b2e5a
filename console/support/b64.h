#pragma once

// Decoding of the texts navigation diagrams carry: encoded words
// ("=?gb2312?B?" + Base64 + "?=") for captions and icon names, and Base64
// text for embedded icon files. Texts and bytes convert through code page 936.
// Nothing here encodes.

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

namespace jx::b64 {

// Value of each byte 0 to 233 in the Base64 alphabet: 0 to 63, 64 for the
// padding "=", 255 for a byte outside the alphabet. Bytes 234 to 255 have no entry.
using DecodeTableType = std::array<uint8_t, 234>;
const DecodeTableType &DecodeTable();

// The Base64 text inside an encoded word decoded, for a text that starts with
// "=?gb2312?B?" (exactly these letters; its last two characters are taken to be
// "?="); any other text unchanged. Raises run-time error 5 for a text that
// starts with the marker but is shorter than 13 characters.
QString DecodeEncodedWord(const QString &text);

// Base64 text (line breaks allowed) decoded to a text; "" for "".
QString Base64DecodeText(const QString &text);

// Writes the decoded bytes to the file; an empty text writes nothing and
// creates no file. Raises a run-time error when the file cannot be written.
void Base64DecodeToFile(const QString &filePath, const QString &text);

// Decodes Base64 bytes. Input is padded with "=" to a multiple of 4 first. The
// output always has 3 × groups − padding bytes: a padding marker anywhere ends
// decoding, as does a byte above 233; what was not decoded stays zero. Bytes
// outside the alphabet are not skipped (they decode as the value 255).
QByteArray Base64Decode(const QByteArray &input);

// Drops every CR and LF byte, so wrapped Base64 decodes at any line width.
QByteArray StripLineBreaks(const QByteArray &bytes);

QByteArray TextToAnsiBytes(const QString &text);
QString AnsiBytesToText(const QByteArray &bytes);

// Writes the bytes as the whole file, created when missing. The file is
// replaced only once every byte is written, so a failure leaves no partial
// file. Raises run-time error 76 when the folder does not exist, 75 otherwise.
void WriteBytesToFile(const QString &filePath, const QByteArray &bytes);

} // namespace jx::b64
