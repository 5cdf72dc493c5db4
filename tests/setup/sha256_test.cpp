#include "setup/sha256.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string HexOf(const std::string& message, std::size_t piece,
                  Sha256::Engine engine = Sha256::Engine::Fastest) {
    Sha256 hash(engine);
    for (std::size_t at = 0; at < message.size(); at += piece)
        hash.Add(message.data() + at, std::min(piece, message.size() - at));
    return DigestHex(hash.Finish());
}

// The standard test vectors, fed whole and in pieces that straddle blocks,
// through the portable code and through whatever this processor runs.
TEST(Sha256, StandardVectorsWhateverThePieces) {
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::string million(1000000, 'a');
    for (Sha256::Engine engine : {Sha256::Engine::Portable, Sha256::Engine::Fastest}) {
        for (std::size_t piece :
             {std::size_t{1}, std::size_t{63}, std::size_t{64}, std::size_t{1000003}}) {
            EXPECT_EQ(HexOf("", piece, engine),
                      "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
            EXPECT_EQ(HexOf("abc", piece, engine),
                      "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
            EXPECT_EQ(HexOf(twoBlocks, piece, engine),
                      "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
            EXPECT_EQ(HexOf(million, piece, engine),
                      "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
        }
    }
}

// The SHA extensions against the portable code on random messages of
// random lengths, cut at random places.
TEST(Sha256, ShaExtensionsAgreeWithThePortableCode) {
    if (!Sha256::ShaExtensionsAvailable())
        GTEST_SKIP() << "this processor (or system) has no SHA extensions";
    std::mt19937 random(20261209);
    for (int round = 0; round < 300; ++round) {
        std::string message(random() % 9000, '\0');
        for (char& c : message) c = static_cast<char>(random());
        std::size_t piece = 1 + random() % (message.size() + 1);
        ASSERT_EQ(HexOf(message, piece, Sha256::Engine::Fastest),
                  HexOf(message, message.size() + 1, Sha256::Engine::Portable))
            << message.size() << " bytes in pieces of " << piece;
    }
}

TEST(Sha256, FinishStartsAfresh) {
    Sha256 hash;
    hash.Add("xyz", 3);
    hash.Finish();
    hash.Add("abc", 3);
    EXPECT_EQ(DigestHex(hash.Finish()),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

}  // namespace
