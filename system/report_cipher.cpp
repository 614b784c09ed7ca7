#include "system/report_cipher.h"

#include <openssl/des.h>

#include <climits>
#include <cstring>
#include <new>

#include "system/text_encoding.h"

namespace {

constexpr size_t kKeyBytes = 24;
static_assert(sizeof(ReportKey) - 1 >= kKeyBytes);
static_assert(sizeof(DES_cblock) == 8);

}  // namespace

bool TripleDesEncrypt(TripleDesRecord& record, const char* text)
{
    record.plaintext.reset();
    record.ciphertext.reset();
    record.paddedLength = 0;

    size_t n = text ? std::strlen(text) : 0;
    size_t pad = 8 - n % 8;
    // The padded length is kept as a signed 32-bit count.
    if (n > static_cast<size_t>(INT32_MAX) - pad)
        return false;
    size_t padded = n + pad;

    std::unique_ptr<unsigned char[]> plain(new (std::nothrow) unsigned char[padded]);
    std::unique_ptr<unsigned char[]> cipher(new (std::nothrow) unsigned char[padded]);
    if (!plain || !cipher)
        return false;
    if (n > 0)
        std::memcpy(plain.get(), text, n);
    std::memset(plain.get() + n, static_cast<int>(pad), pad);

    DES_key_schedule schedules[3];
    for (int i = 0; i < 3; ++i) {
        DES_cblock key;
        std::memcpy(key, record.keys[i], sizeof(key));
        DES_set_key_unchecked(&key, &schedules[i]);
    }
    for (size_t at = 0; at < padded; at += 8) {
        DES_ecb3_encrypt(reinterpret_cast<const_DES_cblock*>(plain.get() + at),
                         reinterpret_cast<DES_cblock*>(cipher.get() + at), &schedules[0],
                         &schedules[1], &schedules[2], DES_ENCRYPT);
    }

    record.plaintext = std::move(plain);
    record.ciphertext = std::move(cipher);
    record.paddedLength = static_cast<int32_t>(padded);
    return true;
}

std::string EncodeReport(const char* text)
{
    TripleDesRecord record;
    std::memcpy(record.keys, ReportKey, kKeyBytes);
    if (!TripleDesEncrypt(record, text))
        return {};
    return UrlEncode(Base64Encode(record.ciphertext.get(), static_cast<size_t>(record.paddedLength)));
}
