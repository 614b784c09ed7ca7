#pragma once
// Reads a usage report's body as the statistics server does.
#include <string>

// Percent-decoded, base64-decoded, Triple DES (EDE, ECB) decrypted with the
// server's key, padding checked and removed; "<bad ...>" when it is not.
std::string DecryptBody(const std::string& body);
