#pragma once
// MD5 digests of texts.

#include <string>

// The 32-character lower-case hexadecimal MD5 digest of the text's bytes.
std::string MD5_GetStringMD5(const std::string& text);

// The password digest: empty for an empty password, otherwise MD5_GetStringMD5
// applied five times, each time to the previous 32-character result.
std::string PasswordDigest(const std::string& password);
