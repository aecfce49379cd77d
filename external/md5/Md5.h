#pragma once
// MD5 digests of texts.

#include <string>

// The 32-character lower-case hexadecimal MD5 digest of the text's bytes.
std::string MD5_GetStringMD5(const std::string& text);

// What PasswordDigest gives for a non-empty password when no MD5 digest can be
// made: not hexadecimal, so it equals no stored digest and the store refuses it.
inline constexpr const char* kNoPasswordDigest = "(no digest)";

// The password digest: empty for an empty password, otherwise MD5_GetStringMD5
// applied five times, each time to the previous 32-character result
// (kNoPasswordDigest when libcrypto cannot make MD5 digests).
std::string PasswordDigest(const std::string& password);
