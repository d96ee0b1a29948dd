#include "update/SignatureCheck.h"

#include <bcrypt.h>

#include <vector>

#include "classlib/SystemDll.h"

#define BCRYPT(name) SYSTEM_FUNCTION(L"bcrypt.dll", name)

namespace {
// An algorithm provider of CNG, closed when this ends.
class Provider {
  public:
    explicit Provider(const wchar_t* algorithm) {
        const auto open = BCRYPT(BCryptOpenAlgorithmProvider);
        if (!open || !BCRYPT_SUCCESS(open(&m_handle, algorithm, nullptr, 0)))
            m_handle = nullptr;
    }
    ~Provider() {
        const auto close = BCRYPT(BCryptCloseAlgorithmProvider);
        if (m_handle && close)
            close(m_handle, 0);
    }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    BCRYPT_ALG_HANDLE Get() const { return m_handle; }
    BCRYPT_ALG_HANDLE Release() {
        BCRYPT_ALG_HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

  private:
    BCRYPT_ALG_HANDLE m_handle = nullptr;
};
} // namespace

CSha256::CSha256() {
    Provider provider(BCRYPT_SHA256_ALGORITHM);
    const auto create = BCRYPT(BCryptCreateHash);
    BCRYPT_HASH_HANDLE hash = nullptr;
    if (!provider.Get() || !create ||
        !BCRYPT_SUCCESS(create(provider.Get(), &hash, nullptr, 0, nullptr, 0, 0)))
        return;
    m_hash = hash;
    m_algorithm = provider.Release();
}

CSha256::~CSha256() {
    const auto destroy = BCRYPT(BCryptDestroyHash);
    const auto close = BCRYPT(BCryptCloseAlgorithmProvider);
    if (m_hash && destroy)
        destroy(m_hash);
    if (m_algorithm && close)
        close(m_algorithm, 0);
}

bool CSha256::Add(const void* data, size_t size) {
    const auto hashData = BCRYPT(BCryptHashData);
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    while (m_hash && size > 0) {
        const ULONG piece = size > 0x40000000 ? 0x40000000 : static_cast<ULONG>(size);
        if (!hashData || !BCRYPT_SUCCESS(hashData(m_hash, const_cast<PUCHAR>(bytes), piece, 0))) {
            const auto destroy = BCRYPT(BCryptDestroyHash);
            if (destroy)
                destroy(m_hash);
            m_hash = nullptr;
        }
        bytes += piece;
        size -= piece;
    }
    return m_hash != nullptr;
}

bool CSha256::Finish(unsigned char digest[kSha256Bytes]) {
    const auto finish = BCRYPT(BCryptFinishHash);
    const bool done = m_hash && finish && BCRYPT_SUCCESS(finish(m_hash, digest, kSha256Bytes, 0));
    const auto destroy = BCRYPT(BCryptDestroyHash);
    if (m_hash && destroy)
        destroy(m_hash);
    m_hash = nullptr;
    return done;
}

bool VerifySignature(const unsigned char publicKey[kPublicKeyBytes], const std::string& message,
                     const unsigned char signature[kSignatureBytes]) {
    unsigned char digest[kSha256Bytes];
    CSha256 hash;
    if (message.empty() || !hash.Add(message.data(), message.size()) || !hash.Finish(digest))
        return false;

    Provider provider(BCRYPT_ECDSA_P256_ALGORITHM);
    const auto import = BCRYPT(BCryptImportKeyPair);
    const auto verify = BCRYPT(BCryptVerifySignature);
    const auto destroy = BCRYPT(BCryptDestroyKey);
    if (!provider.Get() || !import || !verify || !destroy)
        return false;
    std::vector<UCHAR> blob(sizeof(BCRYPT_ECCKEY_BLOB) + kPublicKeyBytes);
    BCRYPT_ECCKEY_BLOB header{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kPublicKeyBytes / 2};
    memcpy(blob.data(), &header, sizeof(header));
    memcpy(blob.data() + sizeof(header), publicKey, kPublicKeyBytes);
    BCRYPT_KEY_HANDLE key = nullptr;
    if (!BCRYPT_SUCCESS(import(provider.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &key, blob.data(),
                               static_cast<ULONG>(blob.size()), 0)))
        return false;
    const NTSTATUS status = verify(key, nullptr, digest, kSha256Bytes,
                                   const_cast<PUCHAR>(signature), kSignatureBytes, 0);
    destroy(key);
    return BCRYPT_SUCCESS(status);
}
