#pragma once
// The usage report's keyed encoder: Triple DES (EDE, three keys, ECB, PKCS#5
// padding), then base64, then percent-encoding, as the statistics server expects.
#include <cstdint>
#include <memory>
#include <string>

// Only its first 24 bytes are the key; the rest is not used.
inline constexpr char ReportKey[] = "2031tkmo5820461937relaysession84";

// One encoding call's working state.
struct TripleDesRecord {
    unsigned char keys[3][8] = {};
    std::unique_ptr<unsigned char[]> plaintext;   // padded text
    int32_t paddedLength = 0;                     // bytes, a positive multiple of 8
    std::unique_ptr<unsigned char[]> ciphertext;  // paddedLength bytes
};

// Pads text (1 to 8 bytes, each holding the pad count) and encrypts every block
// with keys 1, 2, 3 as DES encrypt, decrypt, encrypt. Parity is ignored and weak
// keys are accepted. Returns false, leaving no ciphertext, when the buffers
// cannot be had.
bool TripleDesEncrypt(TripleDesRecord& record, const char* text);

// The request body for a report document; empty when it cannot be encrypted.
std::string EncodeReport(const char* text);
