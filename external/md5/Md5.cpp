#include "external/md5/Md5.h"

#include <openssl/evp.h>

#include <array>

std::string MD5_GetStringMD5(const std::string& text)
{
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    if (EVP_Digest(text.data(), text.size(), digest.data(), &length, EVP_md5(), nullptr) != 1 || length != 16)
        return std::string();  // only when libcrypto itself is broken; callers then compare against nothing

    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * length);
    for (unsigned int i = 0; i < length; ++i) {
        hex.push_back(kHex[digest[i] >> 4]);
        hex.push_back(kHex[digest[i] & 0x0F]);
    }
    return hex;
}

std::string PasswordDigest(const std::string& password)
{
    // An empty password means "no password": it stays empty rather than
    // becoming the digest of an empty text.
    if (password.empty())
        return std::string();
    std::string digest = password;
    for (int round = 0; round < 5; ++round) {
        digest = MD5_GetStringMD5(digest);
        // Without MD5 (a libcrypto that refuses it, as in FIPS mode) a password must not
        // turn into "no password": this marker matches no stored digest and is never stored.
        if (digest.empty())
            return kNoPasswordDigest;
    }
    return digest;
}
