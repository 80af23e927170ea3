#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "storage/KeyRecord.h"
#include "storage/Md5.h"
#include "storage/Rc4.h"
#include "support/Hex.h"

namespace tw {
namespace {

using test::fromHex;
using test::toHex;

TEST(Md5, Rfc1321Suite) {
    const std::pair<std::string, std::string> cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(toHex(md5(input.data(), input.size())), expected) << input;
        // The same text fed in pieces of every size up to 70 gives the same digest.
        for (std::size_t piece = 1; piece <= 70 && !input.empty(); piece += 7) {
            Md5 ctx;
            for (std::size_t at = 0; at < input.size(); at += piece)
                ctx.update(input.data() + at, std::min(piece, input.size() - at));
            EXPECT_EQ(toHex(ctx.finish()), expected) << input << " in pieces of " << piece;
        }
    }
}

// RFC 6229, key 0x0102...10: keystream at the given offsets.
TEST(Rc4, Rfc6229Key128) {
    const auto key = fromHex("0102030405060708090a0b0c0d0e0f10");
    const std::pair<std::size_t, std::string> cases[] = {
        {0, "9ac7cc9a609d1ef7b2932899cde41b97"},    {16, "5248c4959014126a6e8a84f11d1a9e1c"},
        {240, "065902e4b620f6cc36c8589f66432f2b"},  {1520, "b40110c4190b5622a96116b0017ed297"},
        {4096, "a36a4c301ae8ac13610ccbc12256cacc"},
    };
    std::vector<std::uint8_t> zeros(4112, 0), stream(4112, 0);
    Rc4State state;
    rc4Schedule(state, key.data());
    rc4Process(state, stream.data(), zeros.data(), stream.size());
    for (const auto& [offset, expected] : cases) EXPECT_EQ(toHex(stream.data() + offset, 16), expected) << offset;

    // One stream processed in uneven pieces equals one call.
    std::vector<std::uint8_t> pieces(4112, 0);
    rc4Schedule(state, key.data());
    for (std::size_t at = 0, step = 1; at < pieces.size(); at += step, step = step * 3 % 1000 + 1)
        rc4Process(state, pieces.data() + at, zeros.data() + at, std::min(step, pieces.size() - at));
    EXPECT_EQ(pieces, stream);
}

TEST(KeyRecord, EveryItemStartsTheKeystreamAfresh) {
    const auto key = fromHex("000102030405060708090a0b0c0d0e0f");
    KeyRecord record;
    ASSERT_TRUE(record.set(key.data()));
    const std::string a = "first item", b = "other item";
    std::string ca(a.size(), '\0'), cb(b.size(), '\0');
    ASSERT_TRUE(record.encipher(a.data(), a.size(), ca.data()));
    ASSERT_TRUE(record.encipher(b.data(), b.size(), cb.data()));
    // Same keystream for both: XOR of the ciphertexts equals XOR of the plaintexts.
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(ca[i] ^ cb[i], a[i] ^ b[i]);
    // Enciphering twice restores the text, in place.
    record.encipher(ca.data(), ca.size(), ca.data());
    EXPECT_EQ(ca, a);
}

TEST(KeyRecord, InactiveRecordLeavesDestinationUntouched) {
    KeyRecord record;
    EXPECT_FALSE(record.set(nullptr));
    EXPECT_FALSE(record.active());
    std::string dest = "unchanged";
    EXPECT_FALSE(record.encipher("xxxxxxxxx", 9, dest.data()));
    EXPECT_EQ(dest, "unchanged");

    const auto key = fromHex("0102030405060708090a0b0c0d0e0f10");
    record.set(key.data());
    record.clear();
    EXPECT_FALSE(record.active());
    const std::uint8_t zeros[16] = {};
    EXPECT_EQ(std::memcmp(record.key(), zeros, 16), 0);
}

// The record keeps the keystream it made: whatever order items of any length come in (short,
// long, past the kept part, after a copy or a new key), each equals a fresh RC4 run over it.
TEST(KeyRecord, KeptKeystreamMatchesAFreshRunForEveryLength) {
    const auto keyA = fromHex("0102030405060708090a0b0c0d0e0f10");
    const auto keyB = fromHex("f0e0d0c0b0a090807060504030201000");
    const std::size_t cache = KeyRecord::kStreamCache;
    auto fresh = [](const std::vector<std::uint8_t>& key, const std::vector<std::uint8_t>& plain) {
        std::vector<std::uint8_t> out(plain.size(), 0);
        Rc4State state;
        rc4Schedule(state, key.data());
        rc4Process(state, out.data(), plain.data(), plain.size());
        return out;
    };
    KeyRecord record;
    record.set(keyA.data());
    const std::vector<std::uint8_t>* key = &keyA;
    const std::size_t lengths[] = {0, 1, 512, 100, 5000, 1025, cache, cache + 3, 7, 2 * cache + 17, 3};
    for (int pass = 0; pass < 3; ++pass) {
        KeyRecord copy = record;
        for (std::size_t length : lengths) {
            std::vector<std::uint8_t> plain(length);
            for (std::size_t i = 0; i < length; ++i) plain[i] = static_cast<std::uint8_t>(i * 7 + pass);
            std::vector<std::uint8_t> out(length, 0);
            ASSERT_TRUE(record.encipher(plain.data(), length, out.data()));
            EXPECT_EQ(out, fresh(*key, plain)) << "pass " << pass << ", length " << length;
            ASSERT_TRUE(copy.encipher(plain.data(), length, out.data()));
            EXPECT_EQ(out, fresh(*key, plain)) << "copy, pass " << pass << ", length " << length;
        }
        key = pass == 0 ? &keyB : &keyA;
        record.set(key->data());
    }
}

TEST(KeyRecord, TextIsDecipheredUpToItsTerminator) {
    const auto key = fromHex("0102030405060708090a0b0c0d0e0f10");
    KeyRecord record;
    record.set(key.data());
    struct Case {
        std::vector<std::uint8_t> plain;
        std::u16string text;
    };
    const Case cases[] = {
        {{}, u""},
        {{'a', 0, 'b', 0, 0, 0, 'c', 0}, u"ab"},  // ends at the first zero code unit
        {{'a', 0, 0x3b, 0x26}, u"a\u263b"},       // no terminator: every unit
        {{'a', 0, 'b'}, u"ab"},                   // an odd last byte is a unit with a zero high byte
        {{0, 0, 'a', 0}, u""},
        {{'a', 0, 0, 0, 'b'}, u"a"},  // a terminator before an odd last byte
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> stored(c.plain.size(), 0);
        record.encipher(c.plain.data(), c.plain.size(), stored.data());
        std::u16string text = u"old";
        ASSERT_TRUE(record.decipherText16(stored.data(), stored.size(), &text));
        EXPECT_EQ(text, c.text);
    }
    // Terminators at every place within the first words of four units and on either side of
    // the first 32 units, and none; the units around them have zero bytes and high bits of
    // their own, which are no terminator.
    const char16_t fillers[] = {u'x', 0x0100, 0x8000, 0xFFFF, 0x0001, 0x00FF, 0x8080};
    for (const std::size_t length : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 11u, 31u, 32u, 33u, 70u}) {
        std::u16string expected;
        std::vector<std::uint8_t> plain(140, 0);
        for (std::size_t i = 0; i < 70; ++i) {
            const char16_t unit = i == length ? u'\0' : fillers[(i + length) % std::size(fillers)];
            plain[2 * i] = static_cast<std::uint8_t>(unit & 0xFF);
            plain[2 * i + 1] = static_cast<std::uint8_t>(unit >> 8);
            if (i < length) expected.push_back(unit);
        }
        std::vector<std::uint8_t> stored(plain.size(), 0);
        record.encipher(plain.data(), plain.size(), stored.data());
        std::u16string text;
        ASSERT_TRUE(record.decipherText16(stored.data(), stored.size(), &text));
        EXPECT_EQ(text, expected) << length;
        std::vector<char16_t> kept(70, u'?');
        EXPECT_EQ(record.decipherText16(stored.data(), stored.size(), kept.data()), expected.size()) << length;
        EXPECT_EQ(std::u16string(kept.data(), expected.size()), expected) << length;
    }
    // A text longer than the kept keystream.
    std::u16string longText(KeyRecord::kStreamCache, u'x');
    std::vector<std::uint8_t> plain(longText.size() * 2 + 2, 0);
    for (std::size_t i = 0; i < longText.size(); ++i) plain[2 * i] = 'x';
    std::vector<std::uint8_t> stored(plain.size(), 0);
    record.encipher(plain.data(), plain.size(), stored.data());
    std::u16string text;
    ASSERT_TRUE(record.decipherText16(stored.data(), stored.size(), &text));
    EXPECT_EQ(text, longText);
    KeyRecord inactive;
    EXPECT_FALSE(inactive.decipherText16(stored.data(), 2, &text));
}

}  // namespace
}  // namespace tw
