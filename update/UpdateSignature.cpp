#include "update/UpdateSignature.h"

#include <cstdio>
#include <cstring>

namespace {
int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The order n of the curve P-256, big-endian.
const unsigned char kCurveOrder[32] = {
    0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xBC, 0xE6, 0xFA, 0xAD, 0xA7, 0x17, 0x9E, 0x84, 0xF3, 0xB9, 0xCA, 0xC2, 0xFC, 0x63, 0x25, 0x51};

// True when the 32-byte big-endian number lies in 1 to n - 1, as r and s of a
// signature must.
bool IsSignatureNumber(const unsigned char number[32]) {
    bool zero = true;
    for (size_t i = 0; i < 32; ++i)
        zero = zero && number[i] == 0;
    return !zero && std::memcmp(number, kCurveOrder, 32) < 0;
}
} // namespace

bool DecodeHex(const char* text, unsigned char* out, size_t size) {
    if (!text)
        return false;
    for (size_t i = 0; i < size; ++i) {
        const int high = HexValue(text[2 * i]);
        if (high < 0)
            return false;
        const int low = HexValue(text[2 * i + 1]);
        if (low < 0)
            return false;
        out[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return text[2 * size] == '\0';
}

bool ParseSignatureField(const char* field, unsigned char signature[kSignatureBytes]) {
    return DecodeHex(field, signature, kSignatureBytes) && IsSignatureNumber(signature) &&
           IsSignatureNumber(signature + kSignatureBytes / 2);
}

bool ParsePublicKey(const char* text, unsigned char key[kPublicKeyBytes]) {
    if (text && std::strlen(text) == 2 * kPublicKeyBytes + 2 && text[0] == '0' && text[1] == '4')
        text += 2;
    return DecodeHex(text, key, kPublicKeyBytes);
}

std::string SignedUpdateMessage(const char* key, const int version[4], const char* fileName,
                                const unsigned char sha256[kSha256Bytes]) {
    if (!key || !fileName || std::strpbrk(key, "\r\n") || std::strpbrk(fileName, "\r\n"))
        return std::string();
    char numbers[64];
    std::snprintf(numbers, sizeof(numbers), "%d.%d.%d.%d\n", version[0], version[1], version[2],
                  version[3]);
    std::string message = "Voldix-Update-Signatur 1\n";
    message += key;
    message += '\n';
    message += numbers;
    message += fileName;
    message += '\n';
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < kSha256Bytes; ++i) {
        message += kDigits[sha256[i] >> 4];
        message += kDigits[sha256[i] & 15];
    }
    message += '\n';
    return message;
}
