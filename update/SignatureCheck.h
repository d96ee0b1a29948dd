#pragma once
// SHA-256 and the ECDSA P-256 check of a download's signature through the system's CNG
// (bcrypt.dll from the system folder), no cryptography of the program's own.
#include <windows.h>

#include <cstddef>
#include <string>

#include "update/UpdateSignature.h"

// SHA-256 of bytes given in pieces.
class CSha256 {
  public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    // Adds bytes; false when the hash failed, now or before.
    bool Add(const void* data, size_t size);
    // The hash of everything added; false when it failed. Ends the hash.
    bool Finish(unsigned char digest[kSha256Bytes]);

  private:
    void* m_algorithm = nullptr;
    void* m_hash = nullptr;
};

// True when signature (r‖s) is a valid ECDSA P-256 signature of the SHA-256 of message
// under publicKey (X‖Y). False for a wrong signature and when CNG cannot check it.
bool VerifySignature(const unsigned char publicKey[kPublicKeyBytes], const std::string& message,
                     const unsigned char signature[kSignatureBytes]);
