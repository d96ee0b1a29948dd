#pragma once
// The signature of a download: the texts that the update list and the build carry, and
// the message that the maker signs. Portable C++ without Windows, so that it is also
// built natively for the sanitizers and the fuzz target; the check itself (ECDSA P-256
// with SHA-256) is done by the system's CNG in update/SignatureCheck.h.
//
// The signed message is text, each line ending in "\n":
//     Voldix-Update-Signatur 1
//     <program key>
//     <four version numbers as "%d.%d.%d.%d">
//     <file name>
//     <SHA-256 of the file's bytes, 64 lower-case hex digits>
// The list's eleventh field is the signature r‖s (32 bytes each, big-endian) as 128 hex
// digits; the public key is the point X‖Y (32 bytes each) as 128 hex digits.
#include <cstddef>
#include <string>

constexpr size_t kSignatureBytes = 64;
constexpr size_t kPublicKeyBytes = 64;
constexpr size_t kSha256Bytes = 32;

// Decodes text of exactly 2 * size hex digits (either case, nothing else) into out;
// false for any other text, out then undefined.
bool DecodeHex(const char* text, unsigned char* out, size_t size);
// The signature of the list's eleventh field; false when it is missing or malformed, or
// r or s is 0 or not below the order of the curve (no signature of any message).
bool ParseSignatureField(const char* field, unsigned char signature[kSignatureBytes]);
// The public key of the build: 128 hex digits, or 130 beginning with "04" (the
// uncompressed point); false for anything else.
bool ParsePublicKey(const char* text, unsigned char key[kPublicKeyBytes]);
// The message that binds a download to its record; empty when the key or the file name
// is missing or holds a line break, so that nothing can be signed for it.
std::string SignedUpdateMessage(const char* key, const int version[4], const char* fileName,
                                const unsigned char sha256[kSha256Bytes]);
