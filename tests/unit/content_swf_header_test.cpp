#include "content/SwfHeader.h"

#include "SwfHeaderBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::array<std::uint8_t, SWF_PROBE_BYTES>;

Bytes FromList(std::initializer_list<std::uint8_t> prefix)
{
    Bytes bytes{};
    std::copy(prefix.begin(), prefix.end(), bytes.begin());
    return bytes;
}

struct ProbeResult {
    int result;
    std::uint32_t width;
    std::uint32_t height;
    Bytes after;
};

ProbeResult Probe(const Bytes& input)
{
    std::uint8_t buffer[SWF_PROBE_BYTES];
    std::memcpy(buffer, input.data(), SWF_PROBE_BYTES);
    ProbeResult r{};
    r.result = ProbeSwfHeader(buffer, r.width, r.height);
    std::memcpy(r.after.data(), buffer, SWF_PROBE_BYTES);
    return r;
}

// The 550 x 400 movie of the format's worked example, byte for byte.
const Bytes kWorkedExample = FromList(
    {0x46, 0x57, 0x53, 0x06, 0x12, 0x34, 0x56, 0x78, 0x78, 0x00, 0x05, 0x5F, 0x00, 0x00, 0x0F, 0xA0, 0x00});

TEST(SwfHeaderProbe, WorkedExampleGivesFrameSizeAndClearsRectangleBytes)
{
    Bytes input = kWorkedExample;
    for (std::size_t i = 17; i < SWF_PROBE_BYTES; ++i)
        input[i] = static_cast<std::uint8_t>(0xC0 + i);
    const ProbeResult r = Probe(input);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.width, 550u);
    EXPECT_EQ(r.height, 400u);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(r.after[i], input[i]) << "byte " << i;
    for (std::size_t i = 8; i <= 16; ++i)
        EXPECT_EQ(r.after[i], 0) << "byte " << i;
    for (std::size_t i = 17; i < SWF_PROBE_BYTES; ++i)
        EXPECT_EQ(r.after[i], input[i]) << "byte " << i;
}

TEST(SwfHeaderProbe, BuilderReproducesWorkedExample)
{
    Bytes built = BuildSwfHeader({15, 0, 11000, 0, 8000});
    for (std::size_t i : {0, 1, 2, 3})
        EXPECT_EQ(built[i], kWorkedExample[i]);
    for (std::size_t i = 8; i < SWF_PROBE_BYTES; ++i)
        EXPECT_EQ(built[i], kWorkedExample[i]) << "byte " << i;
}

TEST(SwfHeaderProbe, FailingSignaturesLeaveEverythingUntouched)
{
    const std::vector<Bytes> inputs = {
        Bytes{},                                                   // never filled
        FromList({0x43, 0x57, 0x53, 0x06, 0, 0, 0, 0, 0x78}),     // compressed "CWS"
        FromList({0x46, 0x57, 0x54, 0x06, 0, 0, 0, 0, 0x78}),     // "FWT"
        FromList({0x46, 0x58, 0x53}),                              // "FXS"
        FromList({'<', 'h', 't', 'm', 'l', '>'}),                  // an error page
    };
    for (const Bytes& input : inputs) {
        std::uint8_t buffer[SWF_PROBE_BYTES];
        std::memcpy(buffer, input.data(), SWF_PROBE_BYTES);
        std::uint32_t width = 0, height = 0;
        EXPECT_EQ(ProbeSwfHeader(buffer, width, height), 0);
        EXPECT_EQ(width, 0u);
        EXPECT_EQ(height, 0u);
        EXPECT_EQ(std::memcmp(buffer, input.data(), SWF_PROBE_BYTES), 0);
    }
}

struct FrameCase {
    const char* what;
    Bytes input;
    std::uint32_t width;
    std::uint32_t height;
};

TEST(SwfHeaderProbe, FrameSizes)
{
    const FrameCase cases[] = {
        {"Nbits 0 reads no field", FromList({'F', 'W', 'S', 6, 0, 0, 0, 0, 0x00, 0xFF, 0xFF}), 0, 0},
        {"Xmin 20 is not subtracted",
         FromList({'F', 'W', 'S', 6, 0, 0, 0, 0, 0x78, 0x01, 0x45, 0x61, 0x80, 0x00, 0x0F, 0xA0, 0x00}), 551, 400},
        {"Xmax 39 twips rounds down to 1", BuildSwfHeader({15, 0, 39, 0, 8000}), 1, 400},
        {"Xmax 19 twips rounds down to 0", BuildSwfHeader({15, 0, 19, 0, 8000}), 0, 400},
        {"a negative Xmax reads unsigned", BuildSwfHeader({15, 0, 0x7FEC, 0, 8000}), 1637, 400},
        {"Ymax with its top bit set reads large", BuildSwfHeader({16, 0, 20, 0, 0x8000}), 1, 1638},
        {"Ymin is ignored", BuildSwfHeader({15, 400, 11000, 0x7FFF, 8000}), 550, 400},
        {"Nbits 31 with every bit set", BuildSwfHeader({31, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}),
         0x7FFFFFFFu / 20, 0x7FFFFFFFu / 20},
        {"trailing garbage changes nothing", BuildSwfHeader({15, 0, 11000, 0, 8000}, 0xFF), 550, 400},
    };
    for (const FrameCase& c : cases) {
        const ProbeResult r = Probe(c.input);
        EXPECT_EQ(r.result, 1) << c.what;
        EXPECT_EQ(r.width, c.width) << c.what;
        EXPECT_EQ(r.height, c.height) << c.what;
    }
}

TEST(SwfHeaderProbe, NBits31ReadsThroughByte24Only)
{
    const Bytes input = BuildSwfHeader({31, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}, 0xA5);
    const ProbeResult r = Probe(input);
    ASSERT_EQ(r.result, 1);
    // 129 bits from byte 8: bytes 8 to 23 wholly, and the top bit of byte 24.
    for (std::size_t i = 8; i < 24; ++i)
        EXPECT_EQ(r.after[i], 0) << "byte " << i;
    EXPECT_EQ(r.after[24], static_cast<std::uint8_t>(input[24] << 1));
    for (std::size_t i = 25; i < SWF_PROBE_BYTES; ++i)
        EXPECT_EQ(r.after[i], input[i]) << "byte " << i;
}

TEST(SwfHeaderProbe, LastRectangleByteKeepsItsUnreadBitsAtTheTop)
{
    // Nbits 1: 9 bits from byte 8, so byte 9 loses only its top bit.
    Bytes input = BuildSwfHeader({1, 0, 1, 0, 1});
    input[9] |= 0x3F;
    const ProbeResult r = Probe(input);
    ASSERT_EQ(r.result, 1);
    EXPECT_EQ(r.after[8], 0);
    EXPECT_EQ(r.after[9], static_cast<std::uint8_t>(input[9] << 1));
}

TEST(SwfSignature, Classification)
{
    const std::uint8_t fws[] = {'F', 'W', 'S'};
    const std::uint8_t cws[] = {'C', 'W', 'S'};
    const std::uint8_t zws[] = {'Z', 'W', 'S'};
    EXPECT_EQ(ClassifySwfSignature(fws, 3), SwfSignature::Uncompressed);
    EXPECT_EQ(ClassifySwfSignature(cws, 3), SwfSignature::Compressed);
    EXPECT_EQ(ClassifySwfSignature(zws, 3), SwfSignature::NotSwf);
    EXPECT_EQ(ClassifySwfSignature(fws, 2), SwfSignature::NotSwf);
}

TEST(SwfSignature, BytesNeededByTheRectangle)
{
    std::uint8_t nbits0[SWF_PROBE_BYTES] = {'F', 'W', 'S', 6, 0, 0, 0, 0, 0x00};
    std::uint8_t nbits15[SWF_PROBE_BYTES] = {'F', 'W', 'S', 6, 0, 0, 0, 0, 0x78};
    std::uint8_t nbits31[SWF_PROBE_BYTES] = {'F', 'W', 'S', 6, 0, 0, 0, 0, 0xF8};
    EXPECT_EQ(SwfHeaderBytesNeeded(nbits0), 9u);
    EXPECT_EQ(SwfHeaderBytesNeeded(nbits15), 17u);
    EXPECT_EQ(SwfHeaderBytesNeeded(nbits31), 25u);
}

} // namespace
