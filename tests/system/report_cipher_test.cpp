#include "system/report_cipher.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "system/text_encoding.h"
#include "tests/system/test_files.h"

namespace {

// One line of des_vectors.txt, made with the host's openssl command line.
struct Vector {
    std::string name;
    std::string plaintext;
    std::string base64;
    std::string body;
};

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    if (hex == "-")
        return bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

std::vector<Vector> LoadVectors()
{
    std::vector<Vector> vectors;
    std::istringstream in(ReadFileBytes(HostDataPath("des_vectors.txt")));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Vector v;
        std::string hex;
        std::getline(fields, v.name, '\t');
        std::getline(fields, hex, '\t');
        std::getline(fields, v.base64, '\t');
        std::getline(fields, v.body, '\t');
        v.plaintext = FromHex(hex);
        vectors.push_back(v);
    }
    return vectors;
}

TripleDesRecord ReportKeyRecord()
{
    TripleDesRecord record;
    for (int k = 0; k < 3; ++k)
        for (int i = 0; i < 8; ++i)
            record.keys[k][i] = static_cast<unsigned char>(ReportKey[k * 8 + i]);
    return record;
}

}  // namespace

TEST(ReportEncoder, MatchesOpensslForEveryVector)
{
    std::vector<Vector> vectors = LoadVectors();
    ASSERT_EQ(vectors.size(), 8u);
    std::string allBodies;
    for (const Vector& v : vectors) {
        EXPECT_EQ(EncodeReport(v.plaintext.c_str()), v.body) << v.name;
        TripleDesRecord record = ReportKeyRecord();
        ASSERT_TRUE(TripleDesEncrypt(record, v.plaintext.c_str())) << v.name;
        EXPECT_EQ(Base64Encode(record.ciphertext.get(), static_cast<size_t>(record.paddedLength)),
                  v.base64)
            << v.name;
        allBodies += v.base64;
    }
    // The vectors exercise every character the percent-encoding must change.
    for (char c : std::string("+/="))
        EXPECT_NE(allBodies.find(c), std::string::npos) << c;
}

TEST(ReportEncoder, PaddingAlwaysAddsOneToEightBytes)
{
    struct Case {
        const char* text;
        int32_t padded;
        unsigned char pad;
    } cases[] = {{"", 8, 8}, {"1234567", 8, 1}, {"12345678", 16, 8}, {"123456789", 16, 7}};
    for (const Case& c : cases) {
        TripleDesRecord record = ReportKeyRecord();
        ASSERT_TRUE(TripleDesEncrypt(record, c.text));
        ASSERT_EQ(record.paddedLength, c.padded) << c.text;
        size_t n = std::string(c.text).size();
        EXPECT_EQ(std::string(reinterpret_cast<char*>(record.plaintext.get()), n), c.text);
        for (int32_t i = static_cast<int32_t>(n); i < c.padded; ++i)
            EXPECT_EQ(record.plaintext[static_cast<size_t>(i)], c.pad) << c.text << " at " << i;
    }
    // ECB: equal blocks encrypt equally, whatever stands before them.
    TripleDesRecord a = ReportKeyRecord(), b = ReportKeyRecord();
    ASSERT_TRUE(TripleDesEncrypt(a, "ABCDEFGH"));
    ASSERT_TRUE(TripleDesEncrypt(b, "12345678ABCDEFGH"));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(a.ciphertext.get()), 16),
              std::string(reinterpret_cast<char*>(b.ciphertext.get()) + 8, 16));
}

TEST(ReportEncoder, BodyEndingFollowsTheCiphertextLength)
{
    auto endsWith = [](const std::string& s, const std::string& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    };
    for (size_t n = 0; n < 80; ++n) {
        std::string body = EncodeReport(std::string(n, 'r').c_str());
        size_t cipherBytes = 8 * (n / 8 + 1);
        ASSERT_FALSE(body.empty()) << n;
        EXPECT_EQ(body.find_first_of("+/="), std::string::npos) << n;
        if (cipherBytes % 3 == 2) {
            EXPECT_TRUE(endsWith(body, "%3D") && !endsWith(body, "%3D%3D")) << n << " " << body;
        } else if (cipherBytes % 3 == 1) {
            EXPECT_TRUE(endsWith(body, "%3D%3D")) << n << " " << body;
        } else {
            EXPECT_FALSE(endsWith(body, "%3D")) << n << " " << body;
        }
    }
}

TEST(ReportEncoder, NullTextEncodesLikeEmptyText)
{
    EXPECT_EQ(EncodeReport(nullptr), EncodeReport(""));
}
