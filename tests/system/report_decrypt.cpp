#include "tests/system/report_decrypt.h"

#include <openssl/des.h>

#include <cstring>

namespace {

const char kKey[] = "2031tkmo5820461937relaysession84";  // the server's key: its first 24 bytes

std::string PercentDecode(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string Base64Decode(const std::string& s)
{
    static const std::string alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0, count = 0;
    for (char c : s) {
        if (c == '=')
            break;
        size_t v = alphabet.find(c);
        if (v == std::string::npos)
            return "<bad base64>";
        bits = (bits << 6) | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
    }
    return out;
}

}  // namespace

std::string DecryptBody(const std::string& body)
{
    std::string cipher = Base64Decode(PercentDecode(body));
    if (cipher.empty() || cipher.size() % 8 != 0)
        return "<bad length>";
    DES_key_schedule ks[3];
    for (int k = 0; k < 3; ++k) {
        DES_cblock key;
        std::memcpy(key, kKey + 8 * k, 8);
        DES_set_key_unchecked(&key, &ks[k]);
    }
    std::string plain(cipher.size(), '\0');
    for (size_t at = 0; at < cipher.size(); at += 8)
        DES_ecb3_encrypt(reinterpret_cast<const_DES_cblock*>(cipher.data() + at),
                         reinterpret_cast<DES_cblock*>(&plain[at]), &ks[0], &ks[1], &ks[2], DES_DECRYPT);
    unsigned pad = static_cast<unsigned char>(plain.back());
    if (pad < 1 || pad > 8 || plain.find_first_not_of(static_cast<char>(pad), plain.size() - pad) != std::string::npos)
        return "<bad padding>";
    return plain.substr(0, plain.size() - pad);
}

